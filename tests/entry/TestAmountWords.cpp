// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "entry/AmountWords.h"

using entry::Amount;
Q_DECLARE_METATYPE(std::optional<entry::Amount>)

// The amount in words and its reading back.
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
    row("1 stands alone: uno", "1", "00", "Uno con 00/100");
    row("21 stands alone: veintiuno", "21", "00", "Veintiuno con 00/100");
    row("31 stands alone: treinta y uno", "31", "00", "Treinta y uno con 00/100");
    row("100 is cien", "100", "00", "Cien con 00/100");
    row("101 stands alone: ciento uno", "101", "00", "Ciento uno con 00/100");
    row("1 000 is mil, not un mil", "1000", "00", "Mil con 00/100");
    row("1 001 stands alone: mil uno", "1001", "00", "Mil uno con 00/100");
    row("21 000 is veintiún before mil", "21000", "00", "Veintiún mil con 00/100");
    row("21 001: short before mil, whole at the end", "21001", "00", "Veintiún mil uno con 00/100");
    row("31 000 is treinta y un mil", "31000", "00", "Treinta y un mil con 00/100");
    row("100 001,01", "100001", "01", "Cien mil uno con 01/100");
    row("221 021", "221021", "00", "Doscientos veintiún mil veintiuno con 00/100");
    row("1 000 001 is un millón uno", "1000001", "00", "Un millón uno con 00/100");
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
    for (const char* pesos :
         {"0", "1", "21", "31", "100", "101", "1000", "1001", "21000", "21001", "31000", "34999",
          "1650", "100001", "200000", "221021", "999999", "1000000", "1000001"}) {
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
    row("uno", "ciento uno", amount("101", "00"));
    row("un, as once written out", "Ciento un con 00/100", amount("101", "00"));
    row("veintiún at the end", "Veintiún con 00/100", amount("21", "00"));
    row("veintiuno", "veintiuno con 00/100", amount("21", "00"));
    row("mil un", "Mil un con 00/100", amount("1001", "00"));
    row("closing .-", "Tres mil con 00/100.-", amount("3000", "00"));
    row("closing .- after a blank", "Tres mil con 00/100 .-", amount("3000", "00"));
    row("closing point", "Tres mil con 00/100.", amount("3000", "00"));
    row("pesos after the cents", "Tres mil con 00/100 pesos", amount("3000", "00"));
    row("pesos and .- after the cents", "Tres mil con 00/100 pesos.-", amount("3000", "00"));
    row("leading son pesos", "Son pesos tres mil con 00/100", amount("3000", "00"));
    row("leading SON PESOS with a colon", "SON PESOS: tres mil con 50/100", amount("3000", "50"));
    row("leading son", "son tres mil", amount("3000", "00"));
    row("pesos after the number and .-", "Mil pesos.-", amount("1000", "00"));
    row("son pesos alone", "Son pesos", std::nullopt);
    row("only .-", ".-", std::nullopt);
    row("a word beginning with son is no lead", "sonido mil", std::nullopt);
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
    const QString unreadable = QStringLiteral(
        "«Son Pesos»: no se puede leer el importe en letras; el total es 1650,50, en letras: «Mil "
        "seiscientos cincuenta con 50/100»");
    QTest::newRow("no amount in the words") << "Pago a cuenta"
                                            << "1650"
                                            << "50" << unreadable;
    QTest::newRow("words read only in part") << "Mil seiscientos cincuenta con 50/100 exactos"
                                             << "1650"
                                             << "50" << unreadable;
    QTest::newRow("the complaint's .- agrees") << "Mil seiscientos cincuenta con 50/100.-"
                                               << "1650"
                                               << "50" << none;
    QTest::newRow("son pesos and pesos agree")
        << "Son pesos mil seiscientos cincuenta con 50/100 pesos"
        << "1650"
        << "50" << none;
    QTest::newRow("un where uno is written agrees") << "Mil un con 00/100"
                                                    << "1001"
                                                    << "00" << none;
    QTest::newRow("unreadable words, no total yet") << "Pago a cuenta"
                                                    << ""
                                                    << "" << none;
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

QTEST_APPLESS_MAIN(TestAmountWords)
#include "TestAmountWords.moc"
