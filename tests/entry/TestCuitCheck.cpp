// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "paycode/CuitCheck.h"

// The C.U.I.T. check digit: mod 11 over the first ten digits.
class TestCuitCheck : public QObject {
    Q_OBJECT
  private slots:
    void checkDigit_data();
    void checkDigit();
    void problem_data();
    void problem();
    void writtenForm_data();
    void writtenForm();
};

void TestCuitCheck::checkDigit_data() {
    QTest::addColumn<QString>("firstTen");
    QTest::addColumn<int>("expected");  // -1: the rule gives 10, no valid number
    QTest::newRow("20-12345678: sum 148, rest 5, digit 6") << "2012345678" << 6;
    QTest::newRow("30-71234567: sum 142, rest 10, digit 1") << "3071234567" << 1;
    QTest::newRow("23-00000000: sum 22, rest 0, 11 gives 0") << "2300000000" << 0;
    QTest::newRow("20-00000000: sum 10, rest 10, digit 1") << "2000000000" << 1;
    QTest::newRow("20-00000001: sum 12, rest 1, 10 has no digit") << "2000000001" << -1;
    QTest::newRow("27-00000000: sum 38, rest 5, digit 6") << "2700000000" << 6;
}

void TestCuitCheck::checkDigit() {
    QFETCH(QString, firstTen);
    QFETCH(int, expected);
    QCOMPARE(paycode::CuitCheckDigit(firstTen).value_or(-1), expected);
}

void TestCuitCheck::problem_data() {
    QTest::addColumn<QString>("cuit");
    QTest::addColumn<QString>("problem");
    const QString none;
    QTest::newRow("valid") << "20123456786" << none;
    QTest::newRow("valid where 11 gives 0") << "23000000000" << none;
    QTest::newRow("valid with blanks around, as validation trims") << " 20123456786 " << none;
    QTest::newRow("invalid digit names the right one")
        << "30712345679"
        << QStringLiteral(
               "El dígito verificador del C.U.I.T. no es correcto: es 9 y debería ser 1");
    QTest::newRow("last digit typed wrong")
        << "20123456789"
        << QStringLiteral(
               "El dígito verificador del C.U.I.T. no es correcto: es 9 y debería ser 6");
    QTest::newRow("first ten digits that no check digit makes valid")
        << "20000000019"
        << QStringLiteral(
               "El C.U.I.T. no es válido: ninguno empieza con 2000000001, porque su dígito "
               "verificador daría 10");
    QTest::newRow("ten digits are validation's business") << "2012345678" << none;
    QTest::newRow("empty is validation's business") << "" << none;
    QTest::newRow("a pasted letter is not checked") << "2012345678a" << none;
    QTest::newRow("other scripts' digits are not checked") << QStringLiteral("2012345678٦") << none;
    QTest::newRow("a line break after 11 digits is not checked") << "20123456789\n" << none;
}

void TestCuitCheck::problem() {
    QFETCH(QString, cuit);
    QFETCH(QString, problem);
    QCOMPARE(paycode::CuitCheckProblem(cuit), problem);
}

void TestCuitCheck::writtenForm_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("dashed form gives the digits") << "20-12345678-6"
                                                  << "20123456786";
    QTest::newRow("plain digits unchanged") << "20123456786"
                                            << "20123456786";
    QTest::newRow("dashes in other places unchanged") << "201-2345678-6"
                                                      << "201-2345678-6";
    QTest::newRow("a dash missing unchanged") << "20-123456786"
                                              << "20-123456786";
    QTest::newRow("blanks instead of dashes unchanged") << "20 12345678 6"
                                                        << "20 12345678 6";
    QTest::newRow("a line break after the form unchanged") << "20-12345678-6\n"
                                                           << "20-12345678-6\n";
}

void TestCuitCheck::writtenForm() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(paycode::CuitFromWrittenForm(text), expected);
}

QTEST_APPLESS_MAIN(TestCuitCheck)
#include "TestCuitCheck.moc"
