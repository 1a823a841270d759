// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "entry/Amounts.h"
#include "entry/KeyFilters.h"
#include "entry/LeadingNumber.h"

using entry::Amount;

class TestEntryRules : public QObject {
    Q_OBJECT
  private slots:
    void leadingNumber_data();
    void leadingNumber();
    void keyRules_data();
    void keyRules();
    void contribution_data();
    void contribution();
    void total_data();
    void total();
    void padZeros_data();
    void padZeros();
};

void TestEntryRules::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("numberText");
    QTest::newRow("empty reads 0") << "" << 0.0 << "0";
    QTest::newRow("digits") << "1234" << 1234.0 << "1234";
    QTest::newRow("leading blanks skipped") << "   42" << 42.0 << "42";
    QTest::newRow("stops at first non-digit") << "12ab34" << 12.0 << "12";
    QTest::newRow("inner blank ends the run") << "1 2" << 1.0 << "1";
    QTest::newRow("sign first reads 0") << "-5" << 0.0 << "0";
    QTest::newRow("letter first reads 0") << "a5" << 0.0 << "0";
    QTest::newRow("decimal point ends the run") << "12.50" << 12.0 << "12";
    QTest::newRow("leading zeros dropped") << "007" << 7.0 << "7";
    QTest::newRow("all zeros") << "0000" << 0.0 << "0";
    QTest::newRow("eleven digits exact") << "20123456789" << 20123456789.0 << "20123456789";
    QTest::newRow("tab is not a blank") << "\t5" << 0.0 << "0";
    QTest::newRow("non-ASCII digit is not a digit") << QString::fromUtf8("٣4") << 0.0 << "0";
    QTest::newRow("2^53 - 1 still exact")
        << "9007199254740991" << 9007199254740991.0 << "9007199254740991";
    QTest::newRow("22 digits saturate at 2^53")
        << "1234567890123456789012" << 9007199254740992.0 << "1234567890123456789012";
    QTest::newRow("309 digits saturate, never infinity")
        << QString(309, u'9') << 9007199254740992.0 << QString(309, u'9');
    QTest::newRow("400 nines then a letter saturate")
        << QString(400, u'9') + "x" << 9007199254740992.0 << QString(400, u'9');
}

void TestEntryRules::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(QString, numberText);
    QCOMPARE(entry::LeadingNumber(text), value);
    QCOMPARE(entry::LeadingNumberText(text), numberText);
}

enum class Rule { Digits, Capitalize, Month };
Q_DECLARE_METATYPE(Rule)

void TestEntryRules::keyRules_data() {
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    const auto row = [](const char* name, Rule rule, const QString& current, int key,
                        int expected) {
        QTest::newRow(name) << rule << current << key << expected;
    };
    using enum Rule;
    row("digit passes", Digits, "", '7', '7');
    row("zero and nine pass", Digits, "12", '0', '0');
    row("backspace passes", Digits, "12", 8, 8);
    row("letter dropped", Digits, "", 'a', 0);
    row("blank dropped", Digits, "", ' ', 0);
    row("minus dropped", Digits, "", '-', 0);
    row("comma dropped", Digits, "", ',', 0);
    row("point dropped", Digits, "", '.', 0);
    row("enter dropped", Digits, "", 13, 0);
    row("copy shortcut dropped", Digits, "1", 3, 0);
    row("cut shortcut dropped", Digits, "1", 24, 0);
    row("paste shortcut dropped", Digits, "1", 22, 0);
    row("superscript two dropped", Digits, "", 0xB2, 0);

    row("first letter capitalised", Capitalize, "", 'j', 'J');
    row("n tilde capitalised", Capitalize, "", 0xF1, 0xD1);
    row("a acute capitalised", Capitalize, "", 0xE1, 0xC1);
    row("capital stays", Capitalize, "", 'J', 'J');
    row("second letter as typed", Capitalize, "J", 'u', 'u');
    row("box holding a blank", Capitalize, " ", 'j', 'j');
    row("after a digit as typed", Capitalize, "1", 'a', 'a');
    row("digit first unchanged", Capitalize, "", '5', '5');
    row("enter unchanged", Capitalize, "", 13, 13);
    row("backspace unchanged", Capitalize, "", 8, 8);
    row("sharp s has no single capital", Capitalize, "", 0xDF, 0xDF);

    row("month 1 then 2 admitted", Month, "1", '2', '2');
    row("month 1 then 3 refused", Month, "1", '3', 0);
    row("month 0 then 9 admitted", Month, "0", '9', '9');
    row("month 2 then 0 refused", Month, "2", '0', 0);
    row("month 0 then 0 admitted", Month, "0", '0', '0');
    row("month letter refused", Month, "", 'a', 0);
    row("month 12 selected then 3 reads 123", Month, "12", '3', 0);
    row("month backspace under 12", Month, "12", 8, 8);
    row("month backspace on 1", Month, "1", 8, 8);
    row("month first digit 9", Month, "", '9', '9');
    row("month pasted 99 then backspace refused", Month, "99", 8, 0);
    row("month paste shortcut dropped", Month, "1", 22, 0);
}

void TestEntryRules::keyRules() {
    QFETCH(Rule, rule);
    QFETCH(QString, current);
    QFETCH(int, key);
    QFETCH(int, expected);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Argentina));
    int result = -1;
    switch (rule) {
        case Rule::Digits:
            result = entry::FilterDigits(key);
            break;
        case Rule::Capitalize:
            result = entry::CapitalizeFirst(current, key);
            break;
        case Rule::Month:
            result = entry::FilterMonth(current, key);
            break;
    }
    QCOMPARE(result, expected);
}

void TestEntryRules::contribution_data() {
    QTest::addColumn<QString>("pesos");
    QTest::addColumn<QString>("cents");
    QTest::addColumn<QString>("expectedPesos");
    QTest::addColumn<QString>("expectedCents");
    QTest::newRow("100,00 gives 1,50") << "100"
                                       << "00"
                                       << "1"
                                       << "50";
    QTest::newRow("1000,50 truncates 15,0075 to 15,00") << "1000"
                                                        << "50"
                                                        << "15"
                                                        << "00";
    QTest::newRow("76 gives 1,13 not 1,14") << "76"
                                            << "00"
                                            << "1"
                                            << "13";
    QTest::newRow("134 gives 2,00 not 2,01") << "134"
                                             << "00"
                                             << "2"
                                             << "00";
    QTest::newRow("2 gives 0,03") << "2"
                                  << "00"
                                  << "0"
                                  << "03";
    QTest::newRow("38 gives 0,57 through x1000") << "38"
                                                 << "00"
                                                 << "0"
                                                 << "57";
    QTest::newRow("82 gives 1,22 through x1000") << "82"
                                                 << "00"
                                                 << "1"
                                                 << "22";
    QTest::newRow("999999 gives 14999,98") << "999999"
                                           << "00"
                                           << "14999"
                                           << "98";
    QTest::newRow("999999,99 rounds up as float") << "999999"
                                                  << "99"
                                                  << "15000"
                                                  << "00";
    QTest::newRow("empty payroll with 50 cents") << ""
                                                 << "50"
                                                 << "0"
                                                 << "00";
    QTest::newRow("all empty") << ""
                               << ""
                               << "0"
                               << "00";
    QTest::newRow("single cents digit 5 means five cents") << "1000"
                                                           << "5"
                                                           << "15"
                                                           << "00";
    QTest::newRow("blanks around payroll") << "  100 "
                                           << "00"
                                           << "1"
                                           << "50";
    QTest::newRow("pasted garbage reads leading number") << "12x"
                                                         << "zz"
                                                         << "0"
                                                         << "18";
    QTest::newRow("pasted sign reads 0") << "-100"
                                         << "00"
                                         << "0"
                                         << "00";
    // Far beyond any box's length limit, yet defined: the reading saturates.
    QTest::newRow("22-digit payroll stays positive") << "1234567890123456789012"
                                                     << "00"
                                                     << "135107988821114"
                                                     << "87";
    QTest::newRow("400 nines in the cents") << "" << QString(400, u'9') << "1351079858012"
                                            << "15";
    QTest::newRow("309 digits in pesos and cents")
        << QString(309, u'9') << QString(309, u'9') << "136459067420835"
        << "84";
}

void TestEntryRules::contribution() {
    QFETCH(QString, pesos);
    QFETCH(QString, cents);
    QFETCH(QString, expectedPesos);
    QFETCH(QString, expectedCents);
    QCOMPARE(entry::ComputeContribution(pesos, cents), (Amount{expectedPesos, expectedCents}));
}

void TestEntryRules::total_data() {
    QTest::addColumn<Amount>("contribution");
    QTest::addColumn<Amount>("surcharge");
    QTest::addColumn<Amount>("others");
    QTest::addColumn<Amount>("expected");
    QTest::newRow("contribution alone")
        << Amount{"1", "50"} << Amount{"", ""} << Amount{"", ""} << Amount{"1", "50"};
    QTest::newRow("cents sum 106 carries one")
        << Amount{"1", "06"} << Amount{"10", "50"} << Amount{"20", "50"} << Amount{"32", "06"};
    QTest::newRow("cents 99 99 99 carry two")
        << Amount{"0", "99"} << Amount{"0", "99"} << Amount{"0", "99"} << Amount{"2", "97"};
    QTest::newRow("five cents typed as 05")
        << Amount{"0", "00"} << Amount{"0", "05"} << Amount{"", ""} << Amount{"0", "05"};
    QTest::newRow("cents below ten keep two digits")
        << Amount{"0", "03"} << Amount{"", ""} << Amount{"", ""} << Amount{"0", "03"};
    QTest::newRow("largest voucher 34999,98") << Amount{"15000", "00"} << Amount{"9999", "99"}
                                              << Amount{"9999", "99"} << Amount{"34999", "98"};
    QTest::newRow("everything empty is zero")
        << Amount{"", ""} << Amount{"", ""} << Amount{"", ""} << Amount{"0", "00"};
    const QString nines(400, u'9');
    QTest::newRow("400 nines in surcharge cents carry into pesos")
        << Amount{"1", ""} << Amount{"", nines} << Amount{"", ""} << Amount{"90071992547410", "92"};
    QTest::newRow("400 nines everywhere stay positive")
        << Amount{nines, nines} << Amount{nines, nines} << Amount{nines, nines}
        << Amount{"27291813741865205", "76"};
}

void TestEntryRules::total() {
    QFETCH(Amount, contribution);
    QFETCH(Amount, surcharge);
    QFETCH(Amount, others);
    QFETCH(Amount, expected);
    QCOMPARE(entry::ComputeTotal(contribution, surcharge, others), expected);
}

void TestEntryRules::padZeros_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("pauses");
    QTest::newRow("7 width 2") << "7" << 2 << "07" << 1;
    QTest::newRow("empty width 2") << "" << 2 << "00" << 2;
    QTest::newRow("0 width 3") << "0" << 3 << "000" << 2;
    QTest::newRow("full width returns at once") << "123" << 3 << "123" << 0;
    QTest::newRow("1851 width 5") << "1851" << 5 << "01851" << 1;
    QTest::newRow("blanks trimmed first") << " 5 " << 2 << "05" << 1;
    QTest::newRow("only blanks") << "   " << 2 << "00" << 2;
    QTest::newRow("longer than width comes back unchanged") << "1234" << 2 << "1234" << 0;
    QTest::newRow("zeros never removed") << "007" << 2 << "007" << 0;
    QTest::newRow("width 0") << "" << 0 << "" << 0;
}

void TestEntryRules::padZeros() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QFETCH(int, pauses);
    int seen = 0;
    QCOMPARE(entry::PadZeros(text, std::uint8_t(width), [&seen] { ++seen; }), expected);
    QCOMPARE(seen, pauses);
}

QTEST_GUILESS_MAIN(TestEntryRules)
#include "TestEntryRules.moc"
