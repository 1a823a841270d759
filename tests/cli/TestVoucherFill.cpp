// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "cli/ExitStatus.h"
#include "cli/VoucherFill.h"

using Values = QHash<QString, QString>;
Q_DECLARE_METATYPE(Values)

// A voucher filled from values as the command line and a batch give them: a
// refusal names the value by its option, or by its CSV column for a batch.
class TestVoucherFill : public QObject {
    Q_OBJECT
  private slots:
    void refusalNames_data();
    void refusalNames();

  private:
    QTemporaryDir dir;
};

void TestVoucherFill::refusalNames_data() {
    QTest::addColumn<Values>("values");
    QTest::addColumn<bool>("columnNames");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const Values valid{
        {"cuit", "20123456786"}, {"mes", "5"}, {"anio", "2026"}, {"remuneracion", "1000"}};
    const auto with = [&valid](const char* name, const char* value) {
        Values values = valid;
        values.insert(QString::fromUtf8(name), QString::fromUtf8(value));
        return values;
    };
    const QString limit = QStringLiteral("«1.250.000,00» supera el máximo de 999.999,99");
    QTest::newRow("a limit, as an option") << with("remuneracion", "1.250.000,00") << false
                                           << cli::kRefused << "--remuneracion: " + limit;
    QTest::newRow("a limit, as a column") << with("remuneracion", "1.250.000,00") << true
                                          << cli::kRefused << "remuneracion: " + limit;
    QTest::newRow("an ambiguous amount, as a column")
        << with("recargo", "1.000") << true << cli::kRefused
        << "recargo: «1.000» es ambiguo: puede leerse como miles o como decimales. Formas "
           "aceptadas: «1000», «1000,50», «1000.50» o «1.000,50»";
    QTest::newRow("a misplaced hyphen, as a column")
        << with("cuit", "20-1234567-86") << true << cli::kRefused
        << "cuit: C.U.I.T. no válido «20-1234567-86». Formas aceptadas: 11 dígitos, "
           "«20123456786», o «20-12345678-6»";
    QTest::newRow("a key the box does not take, as a column")
        << with("mes", "13") << true << cli::kRefused << "mes: no admite «3» después de «1»";
    QTest::newRow("the same, as an option")
        << with("mes", "13") << false << cli::kRefused << "--mes: no admite «3» después de «1»";
    QTest::newRow("AUTO is the total in words")
        << with("son-pesos", "AUTO") << true << cli::kDone << "";
}

void TestVoucherFill::refusalNames() {
    QFETCH(Values, values);
    QFETCH(bool, columnNames);
    QFETCH(int, status);
    QFETCH(QString, message);
    cli::VoucherValues input;
    input.values = values;
    input.strict = true;  // words that were not the total's would refuse it
    input.columnNames = columnNames;
    const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    const cli::VoucherOutcome outcome = cli::WriteVoucher(input, pdf);
    QCOMPARE(outcome.messages.join(u'\n'), message);
    QCOMPARE(outcome.status, status);
    QCOMPARE(QFile::exists(pdf), status == cli::kDone);
}

QTEST_MAIN(TestVoucherFill)
#include "TestVoucherFill.moc"
