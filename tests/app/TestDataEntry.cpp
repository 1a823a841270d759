// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "KeyScript.h"
#include "ScriptedPlatform.h"
#include "app/VoucherWindow.h"

// Typing and leaving boxes on the real window, with real key events.
class TestDataEntry : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void typing_data();
    void typing();
    void amounts_data();
    void amounts();
    void clearingPayrollKeepsFigures();
    void clickOnPrintButtonLeavesTheBoxFirst();
    void pasteBypassingTheFilters_data();
    void pasteBypassingTheFilters();
    void popupDoesNotCountAsLeaving();
    void everyRouteTakesTheRule_data();
    void everyRouteTakesTheRule();
    void textCombinationsAreTypedKeys_data();
    void textCombinationsAreTypedKeys();
    void contextMenuOffersPasteAndCopy();
    void pasteIsOneUndoStep_data();
    void pasteIsOneUndoStep();

  private:
    void focus(const QString& name);
    QString text(const QString& name) const { return window->text(name); }

    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestDataEntry::init() {
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    QApplication::clipboard()->setText(QStringLiteral("9a"));
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestDataEntry::cleanup() {
    window.reset();
    platform.reset();
}

void TestDataEntry::focus(const QString& name) {
    QWidget* box = window->control(name);
    QVERIFY2(box, qPrintable(name));
    box->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), box);
}

void TestDataEntry::typing_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* box, const char* keys, const char* expected) {
        QTest::newRow(name) << QString::fromUtf8(box) << QString::fromUtf8(keys)
                            << QString::fromUtf8(expected);
    };
    row("digit box admits 7 and backspace", "txtCuit", "17{Backspace}", "1");
    row("digit box drops letter blank sign comma point enter", "txtCuit", "1a -,.{Enter}2", "12");
    row("digit box drops keypad enter", "txtAnio", "2{KeypadEnter}0", "20");
    row("cuit takes 11 digits at most", "txtCuit", "123456789012", "12345678901");
    row("paste shortcuts do nothing in a digit box", "txtCP", "5{CtrlV}{ShiftInsert}", "5");
    row("cut shortcuts do nothing in a digit box", "txtCP", "56{SelectAll}{CtrlX}{ShiftDelete}",
        "56");
    row("delete and arrows are never filtered", "txtCP", "123{Home}{Delete}{End}{Left}9", "293");
    row("deposit year admits digits only", "Text4", "2a6", "26");
    row("staff count takes 3 digits", "txtCPersonal", "1234", "123");

    row("month 1 then 2 gives 12", "txtMes", "12", "12");
    row("month 1 then 3 leaves 1", "txtMes", "13", "1");
    row("month 0 then 9 gives 09", "txtMes", "09", "09");
    row("month 2 then any digit leaves 2", "txtMes", "25", "2");
    row("month 0 then 0 gives 00", "txtMes", "00", "00");
    row("month refuses a letter", "txtMes", "a", "");
    row("month 12 selected then 3 is refused", "txtMes", "12{SelectAll}3", "12");
    row("month 1 with caret before it then 2 gives 21", "txtMes", "1{Home}2", "21");
    row("month backspace admitted", "txtMes", "12{Backspace}", "1");
    row("month paste shortcut does nothing", "txtMes", "1{CtrlV}", "1");

    row("juan becomes Juan", "txtNombre", "juan", "Juan");
    row("ñ first in locality becomes Ñ", "txtLoc", "ñandú", "Ñandú");
    row("á first in bank becomes Á", "txtBanco", "ábaco", "Ábaco");
    row("a box holding a blank keeps the letter", "txtNombre", " juan", " juan");
    row("typing over a selection keeps the letter", "txtCalle", "abc{SelectAll}x", "x");
    row("after a digit letters stay as typed", "txtCalle", "9 de julio", "9 de julio");
    row("deposit day capitalises", "Text2", "a5", "A5");
    row("deposit month capitalises", "Text3", "mayo", "Mayo");
    row("amount in words capitalises and takes Enter", "txtPesos", "mil{Enter}pesos", "Mil\npesos");
    row("cheque number takes every key", "txtCheque", "ab-1,.x", "ab-1,.x");
    row("other concepts description takes every key", "txtOtrosDesc", "ab{Enter}cd", "ab\ncd");
}

void TestDataEntry::typing() {
    QFETCH(QString, box);
    QFETCH(QString, keys);
    QFETCH(QString, expected);
    focus(box);
    PlayKeys(keys);
    QCOMPARE(text(box), expected);
}

void TestDataEntry::amounts_data() {
    QTest::addColumn<QStringList>("typed");       // the six amount boxes in tab order
    QTest::addColumn<QStringList>("centsAfter");  // the three cents boxes once left
    QTest::addColumn<QStringList>("figures");     // contribution and total labels
    const auto row = [](const char* name, const QStringList& typed, const QStringList& cents,
                        const QStringList& figures) {
        QTest::newRow(name) << typed << cents << figures;
    };
    row("100,00 gives 1,50", {"100", "00", "", "", "", ""}, {"00", "00", "00"},
        {"1", "50", "1", "50"});
    row("1000,50 gives 15,00 truncated", {"1000", "50", "", "", "", ""}, {"50", "00", "00"},
        {"15", "00", "15", "00"});
    row("76 gives 1,13", {"76", "", "", "", "", ""}, {"00", "00", "00"}, {"1", "13", "1", "13"});
    row("134 gives 2,00", {"134", "", "", "", "", ""}, {"00", "00", "00"}, {"2", "00", "2", "00"});
    row("2 gives 0,03", {"2", "", "", "", "", ""}, {"00", "00", "00"}, {"0", "03", "0", "03"});
    row("38 gives 0,57", {"38", "", "", "", "", ""}, {"00", "00", "00"}, {"0", "57", "0", "57"});
    row("82 gives 1,22", {"82", "", "", "", "", ""}, {"00", "00", "00"}, {"1", "22", "1", "22"});
    row("999999 gives 14999,98", {"999999", "00", "", "", "", ""}, {"00", "00", "00"},
        {"14999", "98", "14999", "98"});
    row("999999,99 gives 15000,00", {"999999", "99", "", "", "", ""}, {"99", "00", "00"},
        {"15000", "00", "15000", "00"});
    row("surcharge cents 5 become 05", {"100", "", "", "5", "", ""}, {"00", "05", "00"},
        {"1", "50", "1", "55"});
    row("cents summing 106 carry one", {"70", "67", "10", "50", "20", "50"}, {"67", "50", "50"},
        {"1", "06", "32", "06"});
    row("cents 99 99 99 carry two", {"66", "", "", "99", "", "99"}, {"00", "99", "99"},
        {"0", "99", "2", "97"});
    row("50 cents on an empty payroll", {"", "50", "", "", "", ""}, {"50", "00", "00"},
        {"0", "00", "0", "00"});
    row("largest voucher", {"999999", "99", "9999", "99", "9999", "99"}, {"99", "99", "99"},
        {"15000", "00", "34999", "98"});
}

void TestDataEntry::amounts() {
    QFETCH(QStringList, typed);
    QFETCH(QStringList, centsAfter);
    QFETCH(QStringList, figures);
    focus(QStringLiteral("txtRemuneracion"));
    for (const QString& keys : typed) {
        PlayKeys(keys + QStringLiteral("{Tab}"));
    }
    QCOMPARE(QApplication::focusWidget(), window->control(QStringLiteral("Check1")));
    QCOMPARE((QStringList{text("txtRemuneracionDec"), text("txtRecargoDec"),
                          text("txtOtrosConceptosDec")}),
             centsAfter);
    QCOMPARE((QStringList{text("txtRetencion"), text("txtRetencionDec"), text("txtTotal"),
                          text("TXTtotalDec")}),
             figures);
    QCOMPARE(text("txtRemuneracion"), typed[0]);  // whole pesos are never rewritten
}

void TestDataEntry::clearingPayrollKeepsFigures() {
    focus(QStringLiteral("txtRemuneracion"));
    PlayKeys(QStringLiteral("100{Tab}"));
    QCOMPARE(text("txtTotal"), QStringLiteral("1"));
    focus(QStringLiteral("txtRemuneracion"));
    PlayKeys(QStringLiteral("{SelectAll}{Backspace}{Tab}"));
    QCOMPARE(text("txtRemuneracion"), QString());
    QCOMPARE(text("txtRetencion"), QStringLiteral("1"));
    QCOMPARE(text("txtRetencionDec"), QStringLiteral("50"));
    QCOMPARE(text("txtTotal"), QStringLiteral("1"));
}

void TestDataEntry::clickOnPrintButtonLeavesTheBoxFirst() {
    platform->printerInstalled = false;  // the run stops at its first step
    focus(QStringLiteral("txtRemuneracion"));
    PlayKeys(QStringLiteral("200"));
    QCOMPARE(text("txtTotal"), QString());
    QTest::mouseClick(window->control(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(text("txtRetencion"), QStringLiteral("3"));
    QCOMPARE(text("txtTotal"), QStringLiteral("3"));
    QCOMPARE(platform->messages.size(), std::size_t(1));
    QCOMPARE(platform->messages[0].title, QStringLiteral("Verificación de impresora"));
}

void TestDataEntry::pasteBypassingTheFilters_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("boxAfter");
    QTest::addColumn<QString>("total");
    // The payroll box already holds 100; the text goes in through the box's
    // own paste slot, which no rule sees (as text set by the program would),
    // so the leading-number reading alone decides the figures.
    QTest::newRow("letters after digits in the payroll read 12") << "txtRemuneracion"
                                                                 << "12ab"
                                                                 << "12ab"
                                                                 << "0,18";
    QTest::newRow("a sign in the payroll reads 0") << "txtRemuneracion"
                                                   << "-5"
                                                   << "-5"
                                                   << "0,00";
    QTest::newRow("letters in the payroll cents read 0") << "txtRemuneracionDec"
                                                         << "ab"
                                                         << "ab"
                                                         << "1,50";
    QTest::newRow("one letter in surcharge cents is zero-filled") << "txtRecargoDec"
                                                                  << "x"
                                                                  << "0x"
                                                                  << "1,50";
    QTest::newRow("a blank in surcharge cents") << "txtRecargoDec"
                                                << " "
                                                << "00"
                                                << "1,50";
    QTest::newRow("digits then a letter in other concepts") << "txtOtrosConceptos"
                                                            << "7z"
                                                            << "7z"
                                                            << "8,50";
}

void TestDataEntry::pasteBypassingTheFilters() {
    QFETCH(QString, box);
    QFETCH(QString, clipboard);
    QFETCH(QString, boxAfter);
    QFETCH(QString, total);
    focus(QStringLiteral("txtRemuneracion"));
    PlayKeys(QStringLiteral("100{Tab}"));
    focus(box);
    auto* line = window->control<QLineEdit>(box);
    line->selectAll();
    QApplication::clipboard()->setText(clipboard);
    line->paste();
    focus(QStringLiteral("txtNombre"));
    QCOMPARE(text(box), boxAfter);
    QCOMPARE(text("txtTotal") + "," + text("TXTtotalDec"), total);
}

void TestDataEntry::popupDoesNotCountAsLeaving() {
    focus(QStringLiteral("txtRemuneracion"));
    PlayKeys(QStringLiteral("100"));
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(window->control(QStringLiteral("txtRemuneracion")), &popup);
    QCOMPARE(text("txtTotal"), QString());
}

namespace {

// The ways text reaches a box other than a key of its own.
enum class Route { InputMethod, PasteShortcut, ContextMenu, Drop };

// Where a box's mouse, menu and drop events arrive.
QWidget* Surface(QWidget* box) {
    auto* multi = qobject_cast<QPlainTextEdit*>(box);
    return multi ? multi->viewport() : box;
}

// The menu's paste entry, known by its untranslated text.
QAction* PasteEntry(const QMenu* menu) {
    for (QAction* action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) == QLatin1String("&Paste")) {
            return action;
        }
    }
    return nullptr;
}

void Insert(QWidget* box, Route route, const QString& text) {
    switch (route) {
        case Route::InputMethod: {
            // What a dead key and a letter, or a compose sequence, deliver.
            QInputMethodEvent preedit(QStringLiteral("´"), {});
            QApplication::sendEvent(box, &preedit);
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(box, &commit);
            break;
        }
        case Route::PasteShortcut:
            QApplication::clipboard()->setText(text);
            PlayKeys(QStringLiteral("{CtrlV}"));
            break;
        case Route::ContextMenu: {
            QApplication::clipboard()->setText(text);
            QWidget* surface = Surface(box);
            const QPoint at(2, 2);
            QContextMenuEvent request(QContextMenuEvent::Mouse, at, surface->mapToGlobal(at));
            QApplication::sendEvent(surface, &request);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY2(menu, "no context menu");
            QAction* paste = PasteEntry(menu);
            QVERIFY2(paste, "the context menu has no paste entry");
            paste->trigger();
            menu->close();
            break;
        }
        case Route::Drop: {
            QMimeData data;
            data.setText(text);
            QWidget* surface = Surface(box);
            const QPoint at(surface->width() - 2, surface->height() / 2);
            // A drop reaches only the widget the drag entered.
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(surface, &enter);
            QVERIFY(enter.isAccepted());
            QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(surface, &move);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(surface, &drop);
            QVERIFY(drop.isAccepted());
            break;
        }
    }
}

}  // namespace

void TestDataEntry::everyRouteTakesTheRule_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typedFirst");
    QTest::addColumn<int>("route");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* box, const char* typed, Route route,
                        const char* text, const char* expected) {
        QTest::newRow(name) << QString::fromUtf8(box) << QString::fromUtf8(typed) << int(route)
                            << QString::fromUtf8(text) << QString::fromUtf8(expected);
    };
    using enum Route;
    row("dead-key accents refused in the cuit", "txtCuit", "1", InputMethod, "á", "1");
    row("dead-key text in the cuit keeps its digits", "txtCuit", "", InputMethod, "2ü3'4", "234");
    row("dead-key accent refused in the month", "txtMes", "1", InputMethod, "é", "1");
    row("dead-key text in the month keeps the month rule", "txtMes", "", InputMethod, "19", "1");
    row("dead-key ñ refused in the deposit year", "Text4", "", InputMethod, "ñ2", "2");
    row("dead-key accent first becomes a capital", "txtNombre", "", InputMethod, "élá", "Élá");
    row("dead-key accent first in words becomes a capital", "txtPesos", "", InputMethod, "ór",
        "Ór");
    row("dead-key accent after a letter stays small", "txtLoc", "r", InputMethod, "ó", "Ró");
    row("dead-key accent in the cheque number", "txtCheque", "", InputMethod, "é", "é");

    row("paste shortcut in a name capitalises the first", "txtNombre", "", PasteShortcut, "élá sa",
        "Élá sa");
    row("paste shortcut drops line breaks in a single-line box", "txtCalle", "9", PasteShortcut,
        " de\njulio\r\n", "9 dejulio");
    row("paste shortcut keeps line breaks in words", "txtPesos", "", PasteShortcut, "mil\r\npesos",
        "Mil\npesos");
    row("paste shortcut drops tabs and controls", "txtOtrosDesc", "", PasteShortcut,
        "a\tb\x01"
        "c",
        "abc");
    row("paste shortcut still does nothing in a digit box", "txtCuit", "1", PasteShortcut, "23",
        "1");

    row("context menu paste of letters into the cuit", "txtCuit", "", ContextMenu, "abcdefghijk",
        "");
    row("context menu paste into the cuit keeps the digits", "txtCuit", "", ContextMenu,
        "20-12345678-9", "20123456789");
    row("context menu paste of 99 into the month", "txtMes", "", ContextMenu, "99", "9");
    row("context menu paste of 12ab into the payroll", "txtRemuneracion", "", ContextMenu, "12ab",
        "12");
    row("context menu paste of -5 into the surcharge", "txtRecargo", "", ContextMenu, "-5", "5");
    row("context menu paste stops at the length limit", "txtCPersonal", "", ContextMenu, "12345",
        "123");
    row("context menu paste into a multi-line box capitalises", "txtPesos", "", ContextMenu,
        "mil\npesos", "Mil\npesos");
    row("context menu paste drops line breaks in the cheque", "txtCheque", "", ContextMenu,
        "12\n34", "1234");

    row("drop into the cuit keeps the digits", "txtCuit", "", Drop, "1a2 3", "123");
    row("drop into the month keeps the month rule", "txtMes", "", Drop, "13", "1");
    row("drop into an empty name capitalises", "txtNombre", "", Drop, "ñandú", "Ñandú");
    row("drop into a single-line box drops line breaks", "txtBanco", "", Drop, "a\nb", "Ab");
    row("drop into a multi-line box keeps line breaks", "txtOtrosDesc", "", Drop, "a\nb", "a\nb");
}

void TestDataEntry::everyRouteTakesTheRule() {
    QFETCH(QString, box);
    QFETCH(QString, typedFirst);
    QFETCH(int, route);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    focus(box);
    PlayKeys(typedFirst);
    Insert(window->control(box), Route(route), text);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(this->text(box), expected);
}

void TestDataEntry::textCombinationsAreTypedKeys_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("keyText");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected");
    const int ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    QTest::newRow("Ctrl+Alt comma refused in the cuit")
        << "txtCuit" << int(Qt::Key_Comma) << "," << ctrlAlt << "1";
    QTest::newRow("Ctrl+Alt 9 refused after month 1")
        << "txtMes" << int(Qt::Key_9) << "9" << ctrlAlt << "1";
    QTest::newRow("Ctrl+Alt 2 admitted after month 1")
        << "txtMes" << int(Qt::Key_2) << "2" << ctrlAlt << "12";
    QTest::newRow("Super e refused in the year")
        << "txtAnio" << int(Qt::Key_E) << "e" << int(Qt::MetaModifier) << "1";
    QTest::newRow("AltGr at sign refused in the staff count")
        << "txtCPersonal" << int(Qt::Key_At) << "@" << int(Qt::GroupSwitchModifier) << "1";
    QTest::newRow("Ctrl+Keypad 5 refused in the postcode")
        << "txtCP" << int(Qt::Key_5) << "5" << int(Qt::ControlModifier | Qt::KeypadModifier)
        << "15";
    QTest::newRow("Ctrl+Alt e after a letter stays small in a name")
        << "txtNombre" << int(Qt::Key_E) << "e" << ctrlAlt << "1e";
}

void TestDataEntry::textCombinationsAreTypedKeys() {
    QFETCH(QString, box);
    QFETCH(int, key);
    QFETCH(QString, keyText);
    QFETCH(int, modifiers);
    QFETCH(QString, expected);
    focus(box);
    PlayKeys(QStringLiteral("1"));
    QWidget* target = window->control(box);
    const auto mods = Qt::KeyboardModifiers(modifiers);
    QTest::sendKeyEvent(QTest::Press, target, Qt::Key(key), keyText, mods);
    QTest::sendKeyEvent(QTest::Release, target, Qt::Key(key), keyText, mods);
    QCOMPARE(text(box), expected);
}

void TestDataEntry::contextMenuOffersPasteAndCopy() {
    // The menu is the box's own, with its paste entry rewired, not a new one.
    focus(QStringLiteral("txtCalle"));
    PlayKeys(QStringLiteral("abc{SelectAll}"));
    QWidget* box = window->control(QStringLiteral("txtCalle"));
    QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(2, 2),
                              box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &request);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList entries;
    for (QAction* action : menu->actions()) {
        entries << action->text().section(u'\t', 0, 0);
    }
    QVERIFY2(entries.contains("&Copy"), qPrintable(entries.join(", ")));
    QVERIFY(PasteEntry(menu));
    menu->close();
}

void TestDataEntry::pasteIsOneUndoStep_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typedFirst");
    QTest::addColumn<int>("route");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pasted");  // the box after the paste
    QTest::addColumn<QString>("undone");  // after one Ctrl+Z
    QTest::addColumn<QString>("undoneTwice");
    const auto row = [](const char* name, const char* box, const char* typed, Route route,
                        const char* text, const char* pasted, const char* undone,
                        const char* undoneTwice) {
        QTest::newRow(name) << QString::fromUtf8(box) << QString::fromUtf8(typed) << int(route)
                            << QString::fromUtf8(text) << QString::fromUtf8(pasted)
                            << QString::fromUtf8(undone) << QString::fromUtf8(undoneTwice);
    };
    using enum Route;
    row("name typed, surname pasted: undo takes the surname only", "txtNombre", "juan ",
        PasteShortcut, "Pérez", "Juan Pérez", "Juan ", "");
    row("street, paste after the number", "txtCalle", "9 de ", PasteShortcut, "julio 1450",
        "9 de julio 1450", "9 de ", "");
    row("paste over a selection: undo gives the selected text back", "txtCheque", "123{SelectAll}",
        PasteShortcut, "456", "456", "123", "");
    row("paste at the start, before what was typed", "txtCalle", "742{Home}", PasteShortcut, "Av. ",
        "Av. 742", "742", "");
    row("context menu paste of digits into the cuit", "txtCuit", "20", ContextMenu, "12345678",
        "2012345678", "20", "");
    row("dropped text is its own step too", "txtBanco", "na", Drop, "ción", "Nación", "Na", "");
    row("paste into the words box", "txtPesos", "mil ", PasteShortcut, "quinientos",
        "Mil quinientos", "Mil ", "");
    row("paste into the description box", "txtOtrosDesc", "cuota ", ContextMenu, "sindical",
        "cuota sindical", "cuota ", "");
}

void TestDataEntry::pasteIsOneUndoStep() {
    QFETCH(QString, box);
    QFETCH(QString, typedFirst);
    QFETCH(int, route);
    QFETCH(QString, text);
    QFETCH(QString, pasted);
    QFETCH(QString, undone);
    QFETCH(QString, undoneTwice);
    focus(box);
    PlayKeys(typedFirst);
    Insert(window->control(box), Route(route), text);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(this->text(box), pasted);
    PlayKeys(QStringLiteral("{CtrlZ}"));
    QCOMPARE(this->text(box), undone);
    PlayKeys(QStringLiteral("{CtrlZ}"));
    QCOMPARE(this->text(box), undoneTwice);
    // And redone in the same steps.
    PlayKeys(QStringLiteral("{CtrlShiftZ}"));
    QCOMPARE(this->text(box), undone);
    PlayKeys(QStringLiteral("{CtrlShiftZ}"));
    QCOMPARE(this->text(box), pasted);
}

QTEST_MAIN(TestDataEntry)
#include "TestDataEntry.moc"
