// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "paycode/PaymentRecord.h"
#include "paycode/Validation.h"

using paycode::Refusal;
using Amounts = std::array<QString, 6>;
Q_DECLARE_METATYPE(std::optional<paycode::Refusal>)

class TestPaycode : public QObject {
    Q_OBJECT
  private slots:
    void messages();
    void validation_data();
    void validation();
    void codeText_data();
    void codeText();
    void blankRecordIsNul();
};

void TestPaycode::messages() {
    const struct {
        Refusal refusal;
        const char* text;
        const char* title;
    } expected[] = {
        {Refusal::Cuit, "El C.U.I.T. debe tener 11 Números", "Liquidor"},
        {Refusal::Payroll, "Debe ingresar la Remuneración obtenida", "Liquidor"},
        {Refusal::Month, "El mes ingresado es incorrecto", "Error"},
        {Refusal::Year, "El año ingresado es incorrecto", "Error"},
    };
    for (const auto& e : expected) {
        QCOMPARE(paycode::MessageFor(e.refusal).text, QString::fromUtf8(e.text));
        QCOMPARE(paycode::MessageFor(e.refusal).title, QString::fromUtf8(e.title));
    }
}

void TestPaycode::validation_data() {
    QTest::addColumn<QString>("cuit");
    QTest::addColumn<QString>("payroll");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<Amounts>("amounts");
    QTest::addColumn<std::optional<Refusal>>("refusal");
    QTest::addColumn<Amounts>("after");
    const Amounts empty{"", "", "", "", "1000", ""};
    const Amounts filled{"00", "00", "00", "00", "1000", "00"};
    const std::optional<Refusal> pass;
    QTest::newRow("all valid fills empty amounts") << "20123456789"
                                                   << "1000"
                                                   << "5"
                                                   << "2024" << empty << pass << filled;
    QTest::newRow("ten-digit cuit refused, nothing filled")
        << "2012345678"
        << "1000"
        << "5"
        << "2024" << empty << std::optional(Refusal::Cuit) << empty;
    QTest::newRow("twelve characters refused")
        << "201234567890"
        << "1000"
        << "5"
        << "2024" << empty << std::optional(Refusal::Cuit) << empty;
    QTest::newRow("eleven zeros pass the cuit check") << "00000000000"
                                                      << "1000"
                                                      << "5"
                                                      << "2024" << empty << pass << filled;
    QTest::newRow("blanks around cuit are trimmed") << " 20123456789 "
                                                    << "1000"
                                                    << "5"
                                                    << "2024" << empty << pass << filled;
    QTest::newRow("empty payroll refused, nothing filled")
        << "20123456789"
        << ""
        << "5"
        << "2024" << Amounts{"", "", "", "", "", "50"} << std::optional(Refusal::Payroll)
        << Amounts{"", "", "", "", "", "50"};
    QTest::newRow("payroll 0 refused")
        << "20123456789"
        << "0"
        << "5"
        << "2024" << Amounts{"", "", "", "", "0", "50"} << std::optional(Refusal::Payroll)
        << Amounts{"", "", "", "", "0", "50"};
    QTest::newRow("empty month refused after the fill")
        << "20123456789"
        << "1000"
        << ""
        << "2024" << empty << std::optional(Refusal::Month) << filled;
    QTest::newRow("month 00 refused") << "20123456789"
                                      << "1000"
                                      << "00"
                                      << "2024" << empty << std::optional(Refusal::Month) << filled;
    QTest::newRow("month 21 passes") << "20123456789"
                                     << "1000"
                                     << "21"
                                     << "2024" << empty << pass << filled;
    QTest::newRow("year 1990 refused") << "20123456789"
                                       << "1000"
                                       << "5"
                                       << "1990" << empty << std::optional(Refusal::Year) << filled;
    QTest::newRow("year 1991 passes") << "20123456789"
                                      << "1000"
                                      << "5"
                                      << "1991" << empty << pass << filled;
    QTest::newRow("empty year refused") << "20123456789"
                                        << "1000"
                                        << "5"
                                        << "" << empty << std::optional(Refusal::Year) << filled;
    QTest::newRow("bad cuit and empty month: cuit told first")
        << "123"
        << "1000"
        << ""
        << "2024" << empty << std::optional(Refusal::Cuit) << empty;
    QTest::newRow("blank-only amount box is overwritten")
        << "20123456789"
        << "1000"
        << "5"
        << "2024" << Amounts{"  ", "5", "", "", "1000", "3"} << pass
        << Amounts{"00", "5", "00", "00", "1000", "3"};
}

void TestPaycode::validation() {
    QFETCH(QString, cuit);
    QFETCH(QString, payroll);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(Amounts, amounts);
    QFETCH(std::optional<Refusal>, refusal);
    QFETCH(Amounts, after);
    const auto result = paycode::ValidateFields({cuit, payroll, month, year, amounts});
    QCOMPARE(result.refusal, refusal);
    QCOMPARE(result.amounts, after);
}

void TestPaycode::codeText_data() {
    QTest::addColumn<QString>("cuit");
    QTest::addColumn<QString>("staff");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("totalCents");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("staffAfter");
    QTest::newRow("worked example") << "20123456789"
                                    << "7"
                                    << "1861"
                                    << "85"
                                    << "52472012345678900186185"
                                    << "7";
    QTest::newRow("35 pesos 0 cents") << "20123456789"
                                      << "120"
                                      << "35"
                                      << "00"
                                      << "52472012345678900003500"
                                      << "120";
    QTest::newRow("0 pesos 7 cents") << "20123456789"
                                     << "1"
                                     << "0"
                                     << "07"
                                     << "52472012345678900000007"
                                     << "1";
    QTest::newRow("leading zero leaves a blank at 15") << "01234567890"
                                                       << "1"
                                                       << "10"
                                                       << "00"
                                                       << "52471234567890 00001000"
                                                       << "1";
    QTest::newRow("all-zero cuit is 0 and ten blanks") << "00000000000"
                                                       << "1"
                                                       << "10"
                                                       << "00"
                                                       << "52470          00001000"
                                                       << "1";
    QTest::newRow("empty staff gets 0") << "20123456789"
                                        << ""
                                        << "1"
                                        << "50"
                                        << "52472012345678900000150"
                                        << "0";
    QTest::newRow("staff 000 gets 0") << "20123456789"
                                      << "000"
                                      << "1"
                                      << "50"
                                      << "52472012345678900000150"
                                      << "0";
    QTest::newRow("largest total") << "30999999990"
                                   << "3"
                                   << "34999"
                                   << "98"
                                   << "52473099999999003499998"
                                   << "3";
}

void TestPaycode::codeText() {
    QFETCH(QString, cuit);
    QFETCH(QString, staff);
    QFETCH(QString, total);
    QFETCH(QString, totalCents);
    QFETCH(QString, code);
    QFETCH(QString, staffAfter);
    paycode::PaymentRecord record;
    paycode::PaymentSources sources{cuit, staff, total, totalCents};
    paycode::FillPaymentRecord(record, sources);
    const QString text = paycode::ComposeCodeText(record);
    QCOMPARE(text.size(), 23);
    QCOMPARE(text, code);
    QCOMPARE(sources.staff, staffAfter);
}

void TestPaycode::blankRecordIsNul() {
    const paycode::PaymentRecord record;
    QCOMPARE(paycode::ComposeCodeText(record), QString(23, QChar(0)));
}

QTEST_GUILESS_MAIN(TestPaycode)
#include "TestPaycode.moc"
