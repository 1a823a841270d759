// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up baseline: the least a Qt Widgets program does to put a window
// of the voucher's size (670 x 708) on screen, with the same first-paint exit.
// With --label the window also shows one line of text, which is what brings the
// font system up: the part of start-up any window with text pays.

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "main/TestHooks.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    hooks::QuitAfterFirstPaint quitAfterFirstPaint;
    QWidget window;
    window.setFixedSize(670, 708);
    if (QApplication::arguments().contains(QStringLiteral("--label"))) {
        auto* label = new QLabel(QStringLiteral("Generador de Facturas"), &window);
        label->move(10, 10);
    }
    if (qEnvironmentVariableIsSet("TALONARIO_EXIT_AFTER_FIRST_PAINT")) {
        window.installEventFilter(&quitAfterFirstPaint);
    }
    window.show();
    return QApplication::exec();
}
