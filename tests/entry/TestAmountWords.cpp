#include <QtTest>

#include "entry/AmountWords.h"

using entry::Amount;
using entry::WrittenAmount;
using Reading = WrittenAmount::Reading;
Q_DECLARE_METATYPE(std::optional<entry::Amount>)
Q_DECLARE_METATYPE(entry::WrittenAmount::Reading)

// The amount in words, its reading back, and amounts as the command line writes them.
class TestAmountWords : public QObject {
    Q_OBJECT
  private slots:
    void words_data();
    void words();
    void wordsReadBack_data();
    void wordsReadBack();
    void fromWords_data();
    void fromWords();
    void problem_data();
    void problem();
    void written_data();
    void written();
};

void TestAmountWords::words_data() {
    QTest::addColumn<QString>("pesos");
    QTest::addColumn<QString>("cents");
    QTest::addColumn<QString>("words");
    const auto row = [](const char* name, const char* pesos, const char* cents, const char* words) {
        QTest::newRow(name) << QString::fromUtf8(pesos) << QString::fromUtf8(cents)
                            << QString::fromUtf8(words);
    };
    row("0", "0", "00", "Cero con 00/100");
    row("1 is un before pesos", "1", "00", "Un con 00/100");
    row("21 is veintiún", "21", "00", "Veintiún con 00/100");
    row("100 is cien", "100", "00", "Cien con 00/100");
    row("101 is ciento un", "101", "00", "Ciento un con 00/100");
    row("1 000 is mil, not un mil", "1000", "00", "Mil con 00/100");
    row("21 000 is veintiún mil", "21000", "00", "Veintiún mil con 00/100");
    row("34 999,98 without hyphenation marks", "34999", "98",
        "Treinta y cuatro mil novecientos noventa y nueve con 98/100");
    row("1650,50", "1650", "50", "Mil seiscientos cincuenta con 50/100");
    row("14225,53", "14225", "53", "Catorce mil doscientos veinticinco con 53/100");
    row("1 000 000 is un millón", "1000000", "07", "Un millón con 07/100");
    row("one cents digit is padded", "5", "7", "Cinco con 07/100");
    row("no cents reads as 00", "5", "", "Cinco con 00/100");
    row("leading zeros ignored", "0012", "10", "Doce con 10/100");
    row("total not computed gives nothing", "", "", "");
    row("letters give nothing", "12a", "00", "");
    row("three cents digits give nothing", "12", "100", "");
    row("a sign gives nothing", "-5", "00", "");
    row("a line break after the pesos gives nothing", "5\n", "00", "");
    row("a line break after the cents gives nothing", "5", "00\n", "");
}

void TestAmountWords::words() {
    QFETCH(QString, pesos);
    QFETCH(QString, cents);
    QFETCH(QString, words);
    QCOMPARE(entry::AmountInWords(pesos, cents), words);
}

// Whatever is written out reads back as the same amount.
void TestAmountWords::wordsReadBack_data() {
    QTest::addColumn<QString>("pesos");
    QTest::addColumn<QString>("cents");
    for (const char* pesos : {"0", "1", "21", "100", "101", "1000", "21000", "34999", "1650",
                              "200000", "999999", "1000000"}) {
        for (const char* cents : {"00", "01", "50", "98"}) {
            QTest::addRow("%s,%s", pesos, cents) << pesos << cents;
        }
    }
}

void TestAmountWords::wordsReadBack() {
    QFETCH(QString, pesos);
    QFETCH(QString, cents);
    const auto read = entry::AmountFromWords(entry::AmountInWords(pesos, cents));
    QCOMPARE(read, std::optional(Amount{pesos, cents}));
}

void TestAmountWords::fromWords_data() {
    QTest::addColumn<QString>("words");
    QTest::addColumn<std::optional<Amount>>("amount");
    const auto row = [](const char* name, const char* words, std::optional<Amount> amount) {
        QTest::newRow(name) << QString::fromUtf8(words) << amount;
    };
    const auto amount = [](const char* pesos, const char* cents) {
        return std::optional(Amount{QString::fromUtf8(pesos), QString::fromUtf8(cents)});
    };
    row("as written out", "Mil seiscientos cincuenta con 50/100", amount("1650", "50"));
    row("lower case", "mil seiscientos cincuenta con 50/100", amount("1650", "50"));
    row("capitals", "MIL SEISCIENTOS CINCUENTA CON 50/100", amount("1650", "50"));
    row("accents left out", "veintiun mil con 00/100", amount("21000", "00"));
    row("uno for un", "ciento uno", amount("101", "00"));
    row("no cents reads as 00", "Catorce mil doscientos veinticinco", amount("14225", "00"));
    row("cents without con", "Cien 05/100", amount("100", "05"));
    row("one cents digit", "Cien con 5/100", amount("100", "05"));
    row("blanks around the slash", "Cien con 50 / 100", amount("100", "50"));
    row("pesos after the number", "Cien pesos con 50/100", amount("100", "50"));
    row("a line break and double blanks", "Catorce mil\ndoscientos  veinticinco con 53/100",
        amount("14225", "53"));
    row("the words of the complaint", "Catorce mil doscientos veinticinco con 89/100",
        amount("14225", "89"));
    row("figures read as well", "1650 con 50/100", amount("1650", "50"));
    row("empty", "", std::nullopt);
    row("only cents", "con 50/100", std::nullopt);
    row("not a number", "Hola con 50/100", std::nullopt);
    row("read only in part", "veinte y uno con 00/100", std::nullopt);
    row("trailing words", "Cien con 50/100 exactos", std::nullopt);
    row("three cents digits", "Cien con 500/100", std::nullopt);
}

void TestAmountWords::fromWords() {
    QFETCH(QString, words);
    QFETCH(std::optional<Amount>, amount);
    QCOMPARE(entry::AmountFromWords(words), amount);
}

void TestAmountWords::problem_data() {
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("pesos");
    QTest::addColumn<QString>("cents");
    QTest::addColumn<QString>("problem");
    const QString none;
    const QString wrong = QStringLiteral(
        "«Son Pesos» dice %1 pero el total es 1650,50; en letras: «Mil seiscientos cincuenta con "
        "50/100»");
    QTest::newRow("agreeing") << "Mil seiscientos cincuenta con 50/100"
                              << "1650"
                              << "50" << none;
    QTest::newRow("other cents") << "Mil seiscientos cincuenta con 05/100"
                                 << "1650"
                                 << "50" << wrong.arg("1650,05");
    QTest::newRow("other pesos") << "Seiscientos cincuenta con 50/100"
                                 << "1650"
                                 << "50" << wrong.arg("650,50");
    QTest::newRow("no cents read as 00") << "Mil seiscientos cincuenta"
                                         << "1650"
                                         << "50" << wrong.arg("1650,00");
    QTest::newRow("no cents agree with a round total") << "Mil"
                                                       << "1000"
                                                       << "00" << none;
    QTest::newRow("no amount in the words") << "Pago a cuenta"
                                            << "1650"
                                            << "50" << none;
    QTest::newRow("empty box") << ""
                               << "1650"
                               << "50" << none;
    QTest::newRow("blank box") << " \n "
                               << "1650"
                               << "50" << none;
    QTest::newRow("no total yet") << "Mil"
                                  << ""
                                  << "" << none;
}

void TestAmountWords::problem() {
    QFETCH(QString, words);
    QFETCH(QString, pesos);
    QFETCH(QString, cents);
    QFETCH(QString, problem);
    QCOMPARE(entry::AmountWordsProblem(words, pesos, cents), problem);
}

void TestAmountWords::written_data() {
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

void TestAmountWords::written() {
    QFETCH(QString, text);
    QFETCH(Reading, reading);
    QFETCH(QString, pesos);
    QFETCH(QString, cents);
    const WrittenAmount written = entry::ReadWrittenAmount(text);
    QCOMPARE(written.reading, reading);
    QCOMPARE(written.amount, (Amount{pesos, cents}));
}

QTEST_APPLESS_MAIN(TestAmountWords)
#include "TestAmountWords.moc"
