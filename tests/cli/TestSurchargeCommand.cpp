// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "BatchFixture.h"
#include "ProgramRun.h"

namespace {

// The payment date is the day of the run: due dates are counted back from it.
QString DaysAgo(int days, const char* format = "yyyy-MM-dd") {
    return QDate::currentDate().addDays(-days).toString(QString::fromUtf8(format));
}

QString Today() {
    return QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy"));
}

// Payroll 124123,45: the contribution is 1861,85.
const QStringList kVoucher{"--cuit", "20123456786", "--mes",          "5",
                           "--anio", "2026",        "--remuneracion", "124123,45"};

}  // namespace

// `--recargo-desde VENCIMIENTO --tasa PORCENTAJE`: the surcharge worked out
// on the contribution up to today, for --pdf and as a batch's columns.
class TestSurchargeCommand : public QObject {
    Q_OBJECT
  private slots:
    void pdf_data();
    void pdf();
    void refusals_data();
    void refusals();
    void batchColumns();

  private:
    QTemporaryDir dir;
};

void TestSurchargeCommand::pdf_data() {
    QTest::addColumn<QStringList>("surcharge");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("said");
    // 1861,85 × 3 % × 10 / 30 = 18,6185: 18,62; the total 1880,47.
    QTest::newRow("10 days at 3 %, due date as AAAA-MM-DD")
        << QStringList{"--recargo-desde", DaysAgo(10), "--tasa", "3"} << "52472012345678600188047\n"
        << QStringLiteral(
               "talonario: aviso: Recargo: 1.861,85 × 3 ÷ 100 × 10 ÷ 30 = 18,62 (10 días de atraso al %1)\n")
               .arg(Today());
    // 1861,85 × 3,5 % × 20 / 30 = 43,443...: 43,44; the total 1905,29.
    QTest::newRow("20 days at 3.5 %, due date as DD/MM/AAAA")
        << QStringList{"--recargo-desde", DaysAgo(20, "dd/MM/yyyy"), "--tasa", "3.5"}
        << "52472012345678600190529\n"
        << QStringLiteral(
               "talonario: aviso: Recargo: 1.861,85 × 3,5 ÷ 100 × 20 ÷ 30 = 43,44 (20 días de atraso al %1)\n")
               .arg(Today());
    QTest::newRow("due in five days: nothing, and told")
        << QStringList{"--recargo-desde", DaysAgo(-5), "--tasa", "3"} << "52472012345678600186185\n"
        << QStringLiteral(
               "talonario: aviso: Recargo: 1.861,85 × 3 ÷ 100 × 0 ÷ 30 = 0,00 (0 días de atraso al %1)\n"
               "talonario: aviso: sin atraso: el pago del %1 no es posterior al vencimiento del "
               "%2\n")
               .arg(Today(), DaysAgo(-5, "dd/MM/yyyy"));
    QTest::newRow("rate 0") << QStringList{"--recargo-desde", DaysAgo(40), "--tasa", "0"}
                            << "52472012345678600186185\n"
                            << QStringLiteral(
                                   "talonario: aviso: Recargo: 1.861,85 × 0 ÷ 100 × 40 ÷ 30 = 0,00 (40 "
                                   "días de atraso al %1)\n")
                                   .arg(Today());
}

void TestSurchargeCommand::pdf() {
    QFETCH(QStringList, surcharge);
    QFETCH(QString, code);
    QFETCH(QString, said);
    const QString pdf = dir.filePath(QStringLiteral("recargo.pdf"));
    const ProgramResult result = RunProgram(QStringLiteral(TALONARIO_BINARY),
                                            QStringList{"--pdf", pdf} + kVoucher + surcharge);
    QVERIFY2(result.status == 0, qPrintable(result.err));
    QCOMPARE(result.out, code);
    QCOMPARE(result.err, said);
}

void TestSurchargeCommand::refusals_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QString pdf = dir.filePath(QStringLiteral("refused.pdf"));
    const QStringList voucher = QStringList{"--pdf", pdf} + kVoucher;
    QTest::newRow("--recargo too")
        << voucher + QStringList{"--recargo-desde", DaysAgo(10), "--tasa", "3", "--recargo", "5"}
        << "talonario: --recargo-desde no va con --recargo: el recargo se calcula o se escribe, no ambos\n";
    QTest::newRow("no rate") << voucher + QStringList{"--recargo-desde", DaysAgo(10)}
                             << "talonario: --recargo-desde va con --tasa\n";
    QTest::newRow("no due date") << voucher + QStringList{"--tasa", "3"}
                                 << "talonario: --tasa va con --recargo-desde\n";
    QTest::newRow("only a rate beside --recargo")
        << voucher + QStringList{"--tasa", "3", "--recargo", "5"}
        << "talonario: --tasa no va con --recargo: el recargo se calcula o se escribe, no ambos\n";
    QTest::newRow("31 April") << voucher +
                                     QStringList{"--recargo-desde", "31/04/2026", "--tasa", "3"}
                              << "talonario: --recargo-desde: «31/04/2026» no es una fecha del calendario\n";
    QTest::newRow("two-digit year")
        << voucher + QStringList{"--recargo-desde", "10/05/26", "--tasa", "3"}
        << "talonario: --recargo-desde: fecha no válida «10/05/26»: escriba AAAA-MM-DD o DD/MM/AAAA\n";
    QTest::newRow("rate in words")
        << voucher + QStringList{"--recargo-desde", DaysAgo(10), "--tasa", "tres"}
        << "talonario: --tasa: tasa no válida «tres». Formas aceptadas: «3», «3,5», «3.5» o «3,5 %» (hasta "
           "999 con cuatro decimales)\n";
    // 1861,85 × 100 % × 180 / 30 = 11.171,10.
    QTest::newRow("over 9.999,99")
        << voucher + QStringList{"--recargo-desde", DaysAgo(180), "--tasa", "100"}
        << "talonario: --recargo-desde y --tasa: el recargo de 11.171,10 supera el máximo de 9.999,99 "
           "(1.861,85 × 100 ÷ 100 × 180 ÷ 30 = 11.171,10)\n";
    QTest::newRow("not with --barcode")
        << QStringList{"--barcode", "1", "--output", dir.filePath("b.bmp"), "--tasa", "3"}
        << "talonario: --tasa va solo con --pdf; vea --help\n";
    QTest::newRow("not with --lote, where it is a column")
        << QStringList{"--lote", "x.csv", "--carpeta", dir.path(), "--recargo-desde", "1/1/2026"}
        << "talonario: --recargo-desde no va con --lote: los valores van en las columnas del CSV; "
           "vea --help\n";
}

void TestSurchargeCommand::refusals() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const ProgramResult result = RunProgram(QStringLiteral(TALONARIO_BINARY), arguments);
    QCOMPARE(result.status, 2);
    QCOMPARE(result.err, message);
    QCOMPARE(result.out, QString());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("refused.pdf"))));
}

// The columns as a spreadsheet names them, a row each way.
void TestSurchargeCommand::batchColumns() {
    const QString csv = dir.filePath(QStringLiteral("lote.csv"));
    const QString folder = dir.filePath(QStringLiteral("lote"));
    QVERIFY(batchtest::Write(
        csv, QStringLiteral("cuit;mes;anio;remuneracion;recargo;Recargo desde;Tasa %\r\n"
                            "20123456786;5;2026;124123,45;;%1;3\r\n"
                            "27234567891;5;2026;124123,45;5;%1;3\r\n"
                            "27234567891;6;2026;124123,45;;;3\r\n"
                            "20123456786;6;2026;1000;12,50;;\r\n")
                 .arg(DaysAgo(10, "dd/MM/yyyy"))
                 .toUtf8()));
    const batchtest::Result run =
        batchtest::Run({"--lote", csv, "--carpeta", folder, "--trabajos", "1"});
    QVERIFY2(run.status == 4, qPrintable(run.err));  // some rows refused
    const QHash<QString, QStringList> report = batchtest::Results(folder);
    QCOMPARE(report.size(), 4);
    // file, code, state, message, cuit, name, period, payroll, contribution, surcharge...
    const QStringList computed = report.value(QStringLiteral("2"));
    QCOMPARE(computed.value(1), QStringLiteral("52472012345678600188047"));
    QCOMPARE(computed.value(2), QStringLiteral("escrito"));
    QCOMPARE(
        computed.value(3),
        QStringLiteral(
            "Aviso: Recargo: 1.861,85 × 3 ÷ 100 × 10 ÷ 30 = 18,62 (10 días de atraso al %1)")
            .arg(Today()));
    QCOMPARE(computed.value(9), QStringLiteral("18,62"));
    QCOMPARE(report.value(QStringLiteral("3")).mid(2, 2),
             (QStringList{"rechazado",
                          "recargo-desde no va con recargo: el recargo se calcula o se escribe, "
                          "no ambos"}));
    QCOMPARE(report.value(QStringLiteral("4")).mid(2, 2),
             (QStringList{"rechazado", "tasa va con recargo-desde"}));
    // Empty surcharge cells are no surcharge asked for: the amount stands.
    const QStringList plain = report.value(QStringLiteral("5"));
    QCOMPARE(plain.value(2), QStringLiteral("escrito"));
    QCOMPARE(plain.value(9), QStringLiteral("12,50"));
}

QTEST_GUILESS_MAIN(TestSurchargeCommand)
#include "TestSurchargeCommand.moc"
