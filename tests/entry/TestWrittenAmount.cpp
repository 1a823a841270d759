// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "entry/WrittenAmount.h"

using entry::Amount;
using entry::WrittenAmount;
using Reading = WrittenAmount::Reading;
Q_DECLARE_METATYPE(entry::WrittenAmount::Reading)

// Amounts as the command line writes them, and as a spreadsheet's CSV holds them.
class TestWrittenAmount : public QObject {
    Q_OBJECT
  private slots:
    void written_data();
    void written();
    void spreadsheet_data();
    void spreadsheet();
    void refusal_data();
    void refusal();
};

void TestWrittenAmount::written_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<QString>("pesos");
    QTest::addColumn<QString>("cents");
    const auto row = [](const char* name, const char* text, Reading reading, const char* pesos,
                        const char* cents) {
        QTest::newRow(name) << QString::fromUtf8(text) << reading << QString::fromUtf8(pesos)
                            << QString::fromUtf8(cents);
    };
    row("whole pesos", "1000", Reading::Amount, "1000", "");
    row("leading zeros kept", "0100", Reading::Amount, "0100", "");
    row("empty stays empty", "", Reading::Amount, "", "");
    row("decimal comma", "1000,50", Reading::Amount, "1000", "50");
    row("decimal point", "1000.50", Reading::Amount, "1000", "50");
    row("one decimal is tens of cents", "1000,5", Reading::Amount, "1000", "50");
    row("cents only", ",50", Reading::Amount, "", "50");
    row("two decimals after a point", "1.00", Reading::Amount, "1", "00");
    row("argentine thousands with cents", "100.000,50", Reading::Amount, "100000", "50");
    row("argentine thousands, one decimal", "1.000,5", Reading::Amount, "1000", "50");
    row("argentine millions without cents", "1.000.000", Reading::Amount, "1000000", "");
    row("argentine millions with cents", "1.234.567,89", Reading::Amount, "1234567", "89");
    row("1.000: a thousand or one", "1.000", Reading::Ambiguous, "", "");
    row("1,000: a thousand or one", "1,000", Reading::Ambiguous, "", "");
    row("100.000: thousands or decimals", "100.000", Reading::Ambiguous, "", "");
    row("12,345: thousands or decimals", "12,345", Reading::Ambiguous, "", "");
    row("three decimals after four digits", "1234.567", Reading::Invalid, "", "");
    row("english grouping", "1,000.50", Reading::Invalid, "", "");
    row("english grouping without cents", "1,000,000", Reading::Invalid, "", "");
    row("group of two", "1.00.000", Reading::Invalid, "", "");
    row("first group of four", "1000.000,50", Reading::Invalid, "", "");
    row("three cents after a group", "1.000,500", Reading::Invalid, "", "");
    row("point after a group", "1.000.50", Reading::Invalid, "", "");
    row("mark without cents", "1000,", Reading::Invalid, "", "");
    row("two marks", "10,,5", Reading::Invalid, "", "");
    row("blank inside", "100 000", Reading::Invalid, "", "");
    row("minus sign", "-5", Reading::Invalid, "", "");
    row("letters", "mil", Reading::Invalid, "", "");
    row("a line break alone", "\n", Reading::Invalid, "", "");
    row("digits then a line break", "1000\n", Reading::Invalid, "", "");
    row("cents then a line break", "1000,50\n", Reading::Invalid, "", "");
    row("groups then a line break", "1.000.000\n", Reading::Invalid, "", "");
    row("one group then a line break", "1.000\n", Reading::Invalid, "", "");
}

void TestWrittenAmount::written() {
    QFETCH(QString, text);
    QFETCH(Reading, reading);
    QFETCH(QString, pesos);
    QFETCH(QString, cents);
    const WrittenAmount written = entry::ReadWrittenAmount(text);
    QCOMPARE(written.reading, reading);
    QCOMPARE(written.amount, (Amount{pesos, cents}));
}

void TestWrittenAmount::spreadsheet_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<bool>("decimalComma");
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<QString>("pesos");
    QTest::addColumn<QString>("cents");
    const auto row = [](const char* name, const char* cell, bool decimalComma, Reading reading,
                        const char* pesos, const char* cents) {
        QTest::newRow(name) << QString::fromUtf8(cell) << decimalComma << reading
                            << QString::fromUtf8(pesos) << QString::fromUtf8(cents);
    };
    row("plain", "1000", false, Reading::Amount, "1000", "");
    row("a dollar sign", "$1000,50", false, Reading::Amount, "1000", "50");
    row("a dollar sign and a blank", "$ 1.000,50", false, Reading::Amount, "1000", "50");
    row("a dollar sign and a no-break space", "$\u00a01.000,50", false, Reading::Amount, "1000",
        "50");
    row("blanks around the cell", "  1000,50 ", false, Reading::Amount, "1000", "50");
    row("100.000 with the decimal comma known is thousands", "100.000", true, Reading::Amount,
        "100000", "");
    row("671.000 with the decimal comma known is thousands", "671.000", true, Reading::Amount,
        "671000", "");
    row("1.000 with a dollar and the decimal comma known", "$ 1.000", true, Reading::Amount, "1000",
        "");
    row("millions with the decimal comma known", "1.250.000", true, Reading::Amount, "1250000", "");
    row("100.000 without knowing the decimal mark", "100.000", false, Reading::Ambiguous, "", "");
    row("1,000 could still be a thousand or one", "1,000", true, Reading::Ambiguous, "", "");
    row("12,345 could still be two amounts", "$ 12,345", true, Reading::Ambiguous, "", "");
    row("decimal comma known keeps the cents", "100.000,50", true, Reading::Amount, "100000", "50");
    row("a point with two decimals stays decimals", "1000.50", true, Reading::Amount, "1000", "50");
    row("english grouping stays refused", "1,000.50", true, Reading::Invalid, "", "");
    row("a group of two stays refused", "1.00.000", true, Reading::Invalid, "", "");
    row("a dollar sign alone", "$", false, Reading::Invalid, "", "");
    row("two dollar signs", "$$100", false, Reading::Invalid, "", "");
    row("a dollar sign after the number", "100$", false, Reading::Invalid, "", "");
    row("a minus sign after the dollar", "$-100", false, Reading::Invalid, "", "");
    row("empty stays empty", "", true, Reading::Amount, "", "");
}

void TestWrittenAmount::spreadsheet() {
    QFETCH(QString, cell);
    QFETCH(bool, decimalComma);
    QFETCH(Reading, reading);
    QFETCH(QString, pesos);
    QFETCH(QString, cents);
    const WrittenAmount read = entry::ReadSpreadsheetAmount(cell, decimalComma);
    QCOMPARE(read.reading, reading);
    QCOMPARE(read.amount, (Amount{pesos, cents}));
}

void TestWrittenAmount::refusal_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<QString>("refusal");
    const QString forms =
        QStringLiteral(" Formas aceptadas: «1000», «1000,50», «1000.50» o «1.000,50»");
    QTest::newRow("ambiguous") << "1.000" << Reading::Ambiguous
                               << "«1.000» es ambiguo: puede leerse como miles o como decimales." +
                                      forms;
    QTest::newRow("invalid") << "1,000.50" << Reading::Invalid
                             << "importe no válido «1,000.50»." + forms;
}

void TestWrittenAmount::refusal() {
    QFETCH(QString, value);
    QFETCH(Reading, reading);
    QFETCH(QString, refusal);
    QCOMPARE(entry::WrittenAmountRefusal(value, reading), refusal);
}

QTEST_APPLESS_MAIN(TestWrittenAmount)
#include "TestWrittenAmount.moc"
