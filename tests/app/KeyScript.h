// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QtTest>

// Types a script of keys into the widget that has the focus, as a person at
// the keyboard would: literal characters, plus {Name} for named keys and
// shortcuts. The characters carry their own text, so ñ and á arrive as typed.
inline void PlayKeys(const QString& script) {
    static const QHash<QString, std::pair<Qt::Key, Qt::KeyboardModifiers>> named{
        {"Backspace", {Qt::Key_Backspace, Qt::NoModifier}},
        {"Enter", {Qt::Key_Return, Qt::NoModifier}},
        {"KeypadEnter", {Qt::Key_Enter, Qt::KeypadModifier}},
        {"Tab", {Qt::Key_Tab, Qt::NoModifier}},
        {"Home", {Qt::Key_Home, Qt::NoModifier}},
        {"End", {Qt::Key_End, Qt::NoModifier}},
        {"Left", {Qt::Key_Left, Qt::NoModifier}},
        {"Delete", {Qt::Key_Delete, Qt::NoModifier}},
        {"SelectAll", {Qt::Key_A, Qt::ControlModifier}},
        {"CtrlC", {Qt::Key_C, Qt::ControlModifier}},
        {"CtrlX", {Qt::Key_X, Qt::ControlModifier}},
        {"CtrlV", {Qt::Key_V, Qt::ControlModifier}},
        {"ShiftInsert", {Qt::Key_Insert, Qt::ShiftModifier}},
        {"ShiftDelete", {Qt::Key_Delete, Qt::ShiftModifier}},
        {"CtrlZ", {Qt::Key_Z, Qt::ControlModifier}},
        {"CtrlShiftZ", {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}},
    };
    for (qsizetype i = 0; i < script.size(); ++i) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY2(target, "no widget has the focus");
        if (script[i] == u'{') {
            const qsizetype end = script.indexOf(u'}', i);
            const QString name = script.mid(i + 1, end - i - 1);
            QVERIFY2(named.contains(name), qPrintable("unknown key " + name));
            const auto [key, modifiers] = named.value(name);
            QTest::keyClick(target, key, modifiers);
            i = end;
            continue;
        }
        const QChar c = script[i];
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Press, target, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, target, key, QString(c), Qt::NoModifier);
    }
}
