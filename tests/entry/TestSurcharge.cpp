// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "entry/Surcharge.h"

// The late-payment surcharge: dates, rate and base as written, days late,
// the simple interest in exact cents and its one rounding.
class TestSurcharge : public QObject {
    Q_OBJECT
  private slots:
    void surcharge_data();
    void surcharge();
    void dates_data();
    void dates();
    void rates_data();
    void rates();
    void bases_data();
    void bases();
};

void TestSurcharge::surcharge_data() {
    QTest::addColumn<QString>("due");
    QTest::addColumn<QString>("paid");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("base");
    QTest::addColumn<qint64>("days");
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<bool>("late");
    QTest::addColumn<bool>("overLimit");
    QTest::addColumn<QString>("formula");
    const auto row = [](const char* name, const char* due, const char* paid, const char* rate,
                        const char* base, qint64 days, qint64 cents, bool late, bool overLimit,
                        const char* formula) {
        QTest::newRow(name) << QString::fromUtf8(due) << QString::fromUtf8(paid)
                            << QString::fromUtf8(rate) << QString::fromUtf8(base) << days << cents
                            << late << overLimit << QString::fromUtf8(formula);
    };
    row("paid on the due date: 0, not late", "2026-05-10", "10/05/2026", "3", "1500", 0, 0, false,
        false, "1.500,00 × 3 ÷ 100 × 0 ÷ 30 = 0,00");
    row("one day", "2026-05-10", "2026-05-11", "3", "1500", 1, 150, true, false,
        "1.500,00 × 3 ÷ 100 × 1 ÷ 30 = 1,50");
    row("30 days are one month's rate", "2026-05-10", "2026-06-09", "3", "1500", 30, 4500, true,
        false, "1.500,00 × 3 ÷ 100 × 30 ÷ 30 = 45,00");
    row("across 29 February of a leap year", "2024-02-28", "2024-03-01", "3", "1500", 2, 300, true,
        false, "1.500,00 × 3 ÷ 100 × 2 ÷ 30 = 3,00");
    row("across the end of February of a common year", "2026-02-28", "2026-03-01", "3", "1500", 1,
        150, true, false, "1.500,00 × 3 ÷ 100 × 1 ÷ 30 = 1,50");
    row("due on 29 February itself", "29/02/2024", "01/03/2024", "3", "1500", 1, 150, true, false,
        "1.500,00 × 3 ÷ 100 × 1 ÷ 30 = 1,50");
    row("2000 is a leap year: a whole year is 366 days", "2000-01-01", "2001-01-01", "1", "300",
        366, 3660, true, false, "300,00 × 1 ÷ 100 × 366 ÷ 30 = 36,60");
    row("1900 is not: 365 days", "1900-01-01", "1901-01-01", "1", "300", 365, 3650, true, false,
        "300,00 × 1 ÷ 100 × 365 ÷ 30 = 36,50");
    row("paid before the due date: 0, not late", "2026-05-10", "2026-05-01", "3", "1500", 0, 0,
        false, false, "1.500,00 × 3 ÷ 100 × 0 ÷ 30 = 0,00");
    row("rate 0 gives 0", "2026-01-10", "2026-05-10", "0", "1500", 120, 0, true, false,
        "1.500,00 × 0 ÷ 100 × 120 ÷ 30 = 0,00");
    row("a decimal rate with a comma", "2026-05-10", "2026-05-20", "3,5", "1500", 10, 1750, true,
        false, "1.500,00 × 3,5 ÷ 100 × 10 ÷ 30 = 17,50");
    row("the same with a point and %", "2026-05-10", "2026-05-20", "3.5 %", "1.500,00", 10, 1750,
        true, false, "1.500,00 × 3,5 ÷ 100 × 10 ÷ 30 = 17,50");
    row("exactly the limit is typed", "2026-01-01", "2026-01-31", "100", "9999,99", 30, 999999,
        true, false, "9.999,99 × 100 ÷ 100 × 30 ÷ 30 = 9.999,99");
    row("one cent over the limit", "2026-01-01", "2026-01-31", "100", "10000", 30, 1000000, true,
        true, "10.000,00 × 100 ÷ 100 × 30 ÷ 30 = 10.000,00");
    row("years late at a high rate", "1000-01-01", "9999-12-31", "999,9999", "999999,99", 3287181,
        0, true, true, "999.999,99 × 999,9999 ÷ 100 × 3287181 ÷ 30 = más de 9.999,99");
    // 1,00 × 3 % × 5 / 30 is exactly half a cent.
    row("half a cent goes up", "2026-05-01", "2026-05-06", "3", "1", 5, 1, true, false,
        "1,00 × 3 ÷ 100 × 5 ÷ 30 = 0,01");
    row("one and a half cents go up", "2026-05-01", "2026-05-16", "3", "1", 15, 2, true, false,
        "1,00 × 3 ÷ 100 × 15 ÷ 30 = 0,02");
    row("just under half a cent goes down", "2026-05-01", "2026-05-06", "2,9999", "1", 5, 0, true,
        false, "1,00 × 2,9999 ÷ 100 × 5 ÷ 30 = 0,00");
    row("just over half a cent goes up", "2026-05-01", "2026-05-06", "3,0001", "1", 5, 1, true,
        false, "1,00 × 3,0001 ÷ 100 × 5 ÷ 30 = 0,01");
    // 1861,85 × 2,5 % × 17 / 30 = 26,37620833...: exact, not a float's 26,376208...
    row("an ordinary contribution", "2026-06-15", "2026-07-02", "2,5", "1861,85", 17, 2638, true,
        false, "1.861,85 × 2,5 ÷ 100 × 17 ÷ 30 = 26,38");
}

void TestSurcharge::surcharge() {
    QFETCH(QString, due);
    QFETCH(QString, paid);
    QFETCH(QString, rate);
    QFETCH(QString, base);
    QFETCH(qint64, days);
    QFETCH(qint64, cents);
    QFETCH(bool, late);
    QFETCH(bool, overLimit);
    QFETCH(QString, formula);
    const entry::DateReading dueDate = entry::ReadSurchargeDate(due);
    const entry::DateReading paidDate = entry::ReadSurchargeDate(paid);
    const entry::NumberReading rateValue = entry::ReadMonthlyRate(rate);
    const entry::NumberReading baseValue = entry::ReadSurchargeBase(base);
    QVERIFY(dueDate.date && paidDate.date && rateValue.value && baseValue.value);
    const entry::Surcharge surcharge = entry::ComputeSurcharge(
        {*dueDate.date, *paidDate.date, *rateValue.value, *baseValue.value});
    QCOMPARE(surcharge.days, days);
    QCOMPARE(surcharge.overLimit, overLimit);
    QCOMPARE(surcharge.formula, formula);
    QCOMPARE(surcharge.remark.isEmpty(), late);
    if (!late) {
        QVERIFY2(surcharge.remark.startsWith(QStringLiteral("sin atraso: ")),
                 qPrintable(surcharge.remark));
    }
    if (overLimit) {
        QVERIFY2(surcharge.refusal.endsWith(QStringLiteral("supera el máximo de 9.999,99")),
                 qPrintable(surcharge.refusal));
        QCOMPARE(surcharge.amount, entry::Amount());  // nothing to type
        return;
    }
    QCOMPARE(surcharge.refusal, QString());
    QCOMPARE(surcharge.cents, cents);
    QCOMPARE(surcharge.amount,
             (entry::Amount{QString::number(cents / 100),
                            QString::number(cents % 100).rightJustified(2, u'0')}));
}

void TestSurcharge::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");  // invalid: refused
    QTest::newRow("AAAA-MM-DD") << "2026-05-10" << QDate(2026, 5, 10);
    QTest::newRow("DD/MM/AAAA") << "10/05/2026" << QDate(2026, 5, 10);
    QTest::newRow("one-digit day and month") << "1/5/2026" << QDate(2026, 5, 1);
    QTest::newRow("blanks around") << " 2026-05-10 " << QDate(2026, 5, 10);
    QTest::newRow("29 February of a leap year") << "29/02/2024" << QDate(2024, 2, 29);
    QTest::newRow("29 February of 2000") << "2000-02-29" << QDate(2000, 2, 29);
    QTest::newRow("no 29 February in 2026") << "29/02/2026" << QDate();
    QTest::newRow("no 29 February in 1900") << "1900-02-29" << QDate();
    QTest::newRow("no 31 April") << "31/04/2026" << QDate();
    QTest::newRow("no month 13") << "2026-13-01" << QDate();
    QTest::newRow("no day 0") << "00/05/2026" << QDate();
    QTest::newRow("two-digit year") << "10/05/26" << QDate();
    QTest::newRow("ISO needs two-digit month") << "2026-5-10" << QDate();
    QTest::newRow("month first, the other way") << "2026/05/10" << QDate();
    QTest::newRow("hyphens in the Argentine order") << "10-05-2026" << QDate();
    QTest::newRow("a line break inside") << "2026-05\n-10" << QDate();
    QTest::newRow("words") << "hoy" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestSurcharge::dates() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const entry::DateReading reading = entry::ReadSurchargeDate(text);
    QCOMPARE(reading.date.value_or(QDate()), date);
    QCOMPARE(reading.refusal.isEmpty(), date.isValid());
}

void TestSurcharge::rates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("rate");  // -1: refused
    QTest::newRow("whole") << "3" << qint64(30000);
    QTest::newRow("decimal comma") << "3,5" << qint64(35000);
    QTest::newRow("decimal point") << "3.5" << qint64(35000);
    QTest::newRow("four decimals") << "0,1234" << qint64(1234);
    QTest::newRow("a point is never thousands") << "1.000" << qint64(10000);
    QTest::newRow("with a percent sign") << "3,5%" << qint64(35000);
    QTest::newRow("with a blank and a percent sign") << " 3,5 % " << qint64(35000);
    QTest::newRow("zero") << "0" << qint64(0);
    QTest::newRow("the largest") << "999,9999" << qint64(9999999);
    QTest::newRow("four whole digits") << "1000" << qint64(-1);
    QTest::newRow("five decimals") << "3,12345" << qint64(-1);
    QTest::newRow("negative") << "-3" << qint64(-1);
    QTest::newRow("decimals without a whole part") << ",5" << qint64(-1);
    QTest::newRow("mark without decimals") << "3," << qint64(-1);
    QTest::newRow("thousands and decimals") << "1.000,5" << qint64(-1);
    QTest::newRow("percent alone") << "%" << qint64(-1);
    QTest::newRow("words") << "tres" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
}

void TestSurcharge::rates() {
    QFETCH(QString, text);
    QFETCH(qint64, rate);
    const entry::NumberReading reading = entry::ReadMonthlyRate(text);
    QCOMPARE(reading.value.value_or(-1), rate);
    QCOMPARE(reading.refusal.isEmpty(), rate >= 0);
}

void TestSurcharge::bases_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("cents");  // -1: refused
    QTest::addColumn<QString>("refusal");
    QTest::newRow("whole pesos") << "1500" << qint64(150000) << "";
    QTest::newRow("the contribution as the window shows it") << "1861,85" << qint64(186185) << "";
    QTest::newRow("decimal point") << "1861.85" << qint64(186185) << "";
    QTest::newRow("grouped") << "1.861,85" << qint64(186185) << "";
    QTest::newRow("leading zeros") << "000000001,50" << qint64(150) << "";
    QTest::newRow("the payroll's limit") << "999.999,99" << qint64(99999999) << "";
    QTest::newRow("over it") << "1.000.000" << qint64(-1)
                             << "«1.000.000» supera el máximo de 999.999,99";
    QTest::newRow("many digits over it") << "123456789012345678901234567890" << qint64(-1)
                                         << "«123456789012345678901234567890» supera el máximo "
                                            "de 999.999,99";
    QTest::newRow("ambiguous") << "1.500" << qint64(-1)
                               << "«1.500» es ambiguo: puede leerse como miles o como decimales. "
                                  "Formas aceptadas: «1000», «1000,50», «1000.50» o «1.000,50»";
    QTest::newRow("empty") << "" << qint64(-1) << "falta la base (la contribución)";
}

void TestSurcharge::bases() {
    QFETCH(QString, text);
    QFETCH(qint64, cents);
    QFETCH(QString, refusal);
    const entry::NumberReading reading = entry::ReadSurchargeBase(text);
    QCOMPARE(reading.value.value_or(-1), cents);
    QCOMPARE(reading.refusal, refusal);
}

QTEST_APPLESS_MAIN(TestSurcharge)
#include "TestSurcharge.moc"
