#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "PdfReadBack.h"
#include "ProgramRun.h"

// `talonario --pdf` beside the voucher's own validation: the C.U.I.T.'s
// check digit and "Son Pesos" as warnings (refusals with --estricto), the
// written C.U.I.T. form, --son-pesos auto, and the Argentine amount form.
class TestCommandLineRemarks : public QObject {
    Q_OBJECT
  private slots:
    void remarks_data();
    void remarks();
    void sonPesosAuto();
    void amountForms_data();
    void amountForms();
    void helpNamesTheOptions();
    void strictGoesWithTheVoucherOnly();

  private:
    using Result = ProgramResult;
    Result run(QStringList arguments, const QString& pdf) {
        arguments << QStringLiteral("--pdf") << pdf;
        QProcessEnvironment environment = EnvironmentWithoutDisplay();
        // Standard error is compared whole: no note from Qt about a missing runtime folder.
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        return RunProgram(QStringLiteral(TALONARIO_BINARY), arguments, environment);
    }
    // A valid voucher whose total is 1500,00, with `extra` added.
    static QStringList voucher(const QStringList& extra) {
        return QStringList{"--mes", "5", "--anio", "2026", "--remuneracion", "100000"} + extra;
    }
    QTemporaryDir dir;
    QTemporaryDir runtime;
};

void TestCommandLineRemarks::remarks_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString wrongDigit =
        QStringLiteral("El dígito verificador del C.U.I.T. no es correcto: es 9 y debería ser 1\n");
    const QString wrongWords = QStringLiteral(
        "«Son Pesos» dice 1500,50 pero el total es 1500,00; en letras: «Mil quinientos con "
        "00/100»\n");
    QTest::newRow("valid check digit, no warning")
        << voucher({"--cuit", "20123456786"}) << 0 << "52472012345678600150000\n"
        << "";
    QTest::newRow("written form with dashes")
        << voucher({"--cuit", "20-12345678-6"}) << 0 << "52472012345678600150000\n"
        << "";
    QTest::newRow("wrong digit warns, the voucher is still made")
        << voucher({"--cuit", "30712345679"}) << 0 << "52473071234567900150000\n"
        << "Aviso: " + wrongDigit;
    QTest::newRow("wrong digit in the written form warns too")
        << voucher({"--cuit", "30-71234567-9"}) << 0 << "52473071234567900150000\n"
        << "Aviso: " + wrongDigit;
    QTest::newRow("strict refuses a wrong digit")
        << voucher({"--cuit", "30712345679", "--estricto"}) << 2 << "" << wrongDigit;
    QTest::newRow("strict lets a valid one through")
        << voucher({"--cuit", "20123456786", "--estricto"}) << 0 << "52472012345678600150000\n"
        << "";
    QTest::newRow("the length refusal is the voucher's own, strict or not")
        << voucher({"--cuit", "3071234567", "--estricto"}) << 2 << ""
        << "El C.U.I.T. debe tener 11 Números\n";
    QTest::newRow("dashes elsewhere are refused as before")
        << voucher({"--cuit", "2-012345678-6"}) << 2 << ""
        << "--cuit: no admite «-» después de «2»\n";
    QTest::newRow("son pesos agreeing with the total")
        << voucher({"--cuit", "20123456786", "--son-pesos", "mil quinientos con 00/100"}) << 0
        << "52472012345678600150000\n"
        << "";
    QTest::newRow("son pesos reading as another amount warns")
        << voucher({"--cuit", "20123456786", "--son-pesos", "mil quinientos con 50/100"}) << 0
        << "52472012345678600150000\n"
        << "Aviso: " + wrongWords;
    QTest::newRow("strict refuses son pesos reading as another amount")
        << voucher(
               {"--cuit", "20123456786", "--son-pesos", "mil quinientos con 50/100", "--estricto"})
        << 2 << "" << wrongWords;
    QTest::newRow("son pesos that read as no amount pass")
        << voucher({"--cuit", "20123456786", "--son-pesos", "pago a cuenta", "--estricto"}) << 0
        << "52472012345678600150000\n"
        << "";
    QTest::newRow("both warnings, check digit first")
        << voucher({"--cuit", "30712345679", "--son-pesos", "mil quinientos con 50/100"}) << 0
        << "52473071234567900150000\n"
        << "Aviso: " + wrongDigit + "Aviso: " + wrongWords;
}

void TestCommandLineRemarks::remarks() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
    const Result result = run(arguments, pdf);
    QCOMPARE(result.err, err);
    QCOMPARE(result.status, status);
    QCOMPARE(result.out, out);
    QCOMPARE(QFile::exists(pdf), status == 0);
}

void TestCommandLineRemarks::sonPesosAuto() {
    const QString pdf = dir.filePath(QStringLiteral("auto.pdf"));
    const Result result = run(
        voucher({"--cuit", "20123456786", "--recargo", "21", "--son-pesos", "auto", "--estricto"}),
        pdf);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringLiteral("52472012345678600152100\n"));
    for (int page : {1, 2}) {
        const QString text = PdfPageText(pdf, page).simplified();
        QVERIFY2(text.contains(QStringLiteral("Mil quinientos veintiún con 00/100")),
                 qPrintable(text));
    }
}

void TestCommandLineRemarks::amountForms_data() {
    QTest::addColumn<QString>("payroll");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");  // standard output, or what standard error says
    const QString forms =
        QStringLiteral("Formas aceptadas: «1000», «1000,50», «1000.50» o «1.000,50»");
    // 12345,67 as the voucher's float gives 185,18 of contribution.
    const QString code = QStringLiteral("52472012345678600018518\n");
    QTest::newRow("plain with decimal comma") << "12345,67" << 0 << code;
    QTest::newRow("plain with decimal point") << "12345.67" << 0 << code;
    QTest::newRow("argentine thousands point and decimal comma") << "12.345,67" << 0 << code;
    QTest::newRow("100.000 is ambiguous too")
        << "100.000" << 2
        << "--remuneracion: «100.000» es ambiguo: puede leerse como miles o como decimales. " +
               forms;
    QTest::newRow("1.000 is ambiguous")
        << "1.000" << 2
        << "--remuneracion: «1.000» es ambiguo: puede leerse como miles o como decimales. " + forms;
    QTest::newRow("1,000 is ambiguous")
        << "1,000" << 2
        << "--remuneracion: «1,000» es ambiguo: puede leerse como miles o como decimales. " + forms;
    QTest::newRow("english grouping is refused with the forms")
        << "12,345.67" << 2 << "--remuneracion: importe no válido «12,345.67». " + forms;
    QTest::newRow("argentine grouping of a million passes to the box, which takes six digits")
        << "1.000.000" << 2 << "--remuneracion: no admite «0» después de «100000»";
}

void TestCommandLineRemarks::amountForms() {
    QFETCH(QString, payroll);
    QFETCH(int, status);
    QFETCH(QString, output);
    const QString pdf = dir.filePath(QStringLiteral("forms.pdf"));
    QFile::remove(pdf);
    const Result result = run(
        {"--cuit", "20123456786", "--mes", "5", "--anio", "2026", "--remuneracion", payroll}, pdf);
    QCOMPARE(result.status, status);
    if (status == 0) {
        QCOMPARE(result.out, output);
        QCOMPARE(result.err, QString());
    } else {
        QCOMPARE(result.err, output + u'\n');
        QVERIFY(result.out.isEmpty());
        QVERIFY(!QFile::exists(pdf));
    }
}

void TestCommandLineRemarks::helpNamesTheOptions() {
    QProcess process;
    process.start(QStringLiteral(TALONARIO_BINARY), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(60000));
    const QString help = QString::fromUtf8(process.readAllStandardOutput());
    for (const char* expected : {"--estricto", "«auto»", "20-12345678-6", "1.000,50"}) {
        QVERIFY2(help.contains(QString::fromUtf8(expected)), expected);
    }
}

void TestCommandLineRemarks::strictGoesWithTheVoucherOnly() {
    QProcess process;
    process.start(QStringLiteral(TALONARIO_BINARY),
                  {"--barcode", "1", "--output", dir.filePath("b.bmp"), "--estricto"});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(QString::fromUtf8(process.readAllStandardError())
                .contains(QStringLiteral("--estricto va solo con --pdf")));
    QVERIFY(!QFile::exists(dir.filePath("b.bmp")));
}

QTEST_GUILESS_MAIN(TestCommandLineRemarks)
#include "TestCommandLineRemarks.moc"
