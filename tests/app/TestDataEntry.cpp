#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
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
    // The payroll box already holds 100; the paste goes through the context
    // menu or the middle button, which no key filter sees.
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

QTEST_MAIN(TestDataEntry)
#include "TestDataEntry.moc"
