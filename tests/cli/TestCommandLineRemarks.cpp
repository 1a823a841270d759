// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "PdfReadBack.h"
#include "ProgramRun.h"

// `talonario --pdf` beside the voucher's own validation: the C.U.I.T.'s
// check digit and "Son Pesos" as warnings (refusals with --estricto), the
// written C.U.I.T. form, --son-pesos auto, the Argentine amount form and the
// limits in the user's terms, and the help in Spanish.
class TestCommandLineRemarks : public QObject {
    Q_OBJECT
  private slots:
    void remarks_data();
    void remarks();
    void sonPesosAuto_data();
    void sonPesosAuto();
    void amountForms_data();
    void amountForms();
    void help_data();
    void help();
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
        << "talonario: aviso: " + wrongDigit;
    QTest::newRow("wrong digit in the written form warns too")
        << voucher({"--cuit", "30-71234567-9"}) << 0 << "52473071234567900150000\n"
        << "talonario: aviso: " + wrongDigit;
    QTest::newRow("strict refuses a wrong digit")
        << voucher({"--cuit", "30712345679", "--estricto"}) << 2 << ""
        << "talonario: " + wrongDigit;
    QTest::newRow("strict lets a valid one through")
        << voucher({"--cuit", "20123456786", "--estricto"}) << 0 << "52472012345678600150000\n"
        << "";
    QTest::newRow("the length refusal is the voucher's own, strict or not")
        << voucher({"--cuit", "3071234567", "--estricto"}) << 2 << ""
        << "talonario: El C.U.I.T. debe tener 11 Números\n";
    const QString cuitForms =
        QStringLiteral(". Formas aceptadas: 11 dígitos, «20123456786», o «20-12345678-6»\n");
    QTest::newRow("dashes elsewhere show the accepted forms")
        << voucher({"--cuit", "2-012345678-6"}) << 2 << ""
        << "talonario: --cuit: C.U.I.T. no válido «2-012345678-6»" + cuitForms;
    QTest::newRow("a digit on the wrong side of a dash shows the accepted forms")
        << voucher({"--cuit", "20-1234567-86"}) << 2 << ""
        << "talonario: --cuit: C.U.I.T. no válido «20-1234567-86»" + cuitForms;
    QTest::newRow("a trailing dash shows the accepted forms")
        << voucher({"--cuit", "20123456786-"}) << 2 << ""
        << "talonario: --cuit: C.U.I.T. no válido «20123456786-»" + cuitForms;
    QTest::newRow("son pesos agreeing with the total")
        << voucher({"--cuit", "20123456786", "--son-pesos", "mil quinientos con 00/100"}) << 0
        << "52472012345678600150000\n"
        << "";
    QTest::newRow("son pesos reading as another amount warns")
        << voucher({"--cuit", "20123456786", "--son-pesos", "mil quinientos con 50/100"}) << 0
        << "52472012345678600150000\n"
        << "talonario: aviso: " + wrongWords;
    QTest::newRow("strict refuses son pesos reading as another amount")
        << voucher(
               {"--cuit", "20123456786", "--son-pesos", "mil quinientos con 50/100", "--estricto"})
        << 2 << ""
        << "talonario: " + wrongWords;
    const QString unreadable = QStringLiteral(
        "«Son Pesos»: no se puede leer el importe en letras; el total es 1500,00, en letras: «Mil "
        "quinientos con 00/100»\n");
    QTest::newRow("son pesos that read as no amount warn")
        << voucher({"--cuit", "20123456786", "--son-pesos", "pago a cuenta"}) << 0
        << "52472012345678600150000\n"
        << "talonario: aviso: " + unreadable;
    QTest::newRow("strict refuses son pesos that read as no amount")
        << voucher({"--cuit", "20123456786", "--son-pesos", "pago a cuenta", "--estricto"}) << 2
        << ""
        << "talonario: " + unreadable;
    QTest::newRow("strict refuses words read only in part")
        << voucher({"--cuit", "20123456786", "--son-pesos", "mil quinientos con 00/100 justos",
                    "--estricto"})
        << 2 << ""
        << "talonario: " + unreadable;
    QTest::newRow("a closing .- reads") << voucher({"--cuit", "20123456786", "--son-pesos",
                                                    "Mil quinientos con 00/100.-", "--estricto"})
                                        << 0 << "52472012345678600150000\n"
                                        << "";
    QTest::newRow("pesos after the cents reads")
        << voucher({"--cuit", "20123456786", "--son-pesos", "mil quinientos con 00/100 pesos",
                    "--estricto"})
        << 0 << "52472012345678600150000\n"
        << "";
    QTest::newRow("a leading son pesos reads")
        << voucher({"--cuit", "20123456786", "--son-pesos", "Son pesos mil quinientos con 00/100",
                    "--estricto"})
        << 0 << "52472012345678600150000\n"
        << "";
    QTest::newRow("another amount with a closing .- warns")
        << voucher({"--cuit", "20123456786", "--son-pesos", "Tres mil con 00/100.-"}) << 0
        << "52472012345678600150000\n"
        << "talonario: aviso: «Son Pesos» dice 3000,00 pero el total es 1500,00; en letras: «Mil "
           "quinientos "
           "con 00/100»\n";
    QTest::newRow("both warnings, check digit first")
        << voucher({"--cuit", "30712345679", "--son-pesos", "mil quinientos con 50/100"}) << 0
        << "52473071234567900150000\n"
        << "talonario: aviso: " + wrongDigit + "talonario: aviso: " + wrongWords;
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

void TestCommandLineRemarks::sonPesosAuto_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("auto") << "auto";
    QTest::newRow("AUTO") << "AUTO";
    QTest::newRow("Auto") << "Auto";
    QTest::newRow("with blanks around") << " auto ";
}

// The total in words, with its number standing alone at the end ("veintiuno").
void TestCommandLineRemarks::sonPesosAuto() {
    QFETCH(QString, value);
    const QString pdf = dir.filePath(QStringLiteral("auto.pdf"));
    QFile::remove(pdf);
    const Result result = run(
        voucher({"--cuit", "20123456786", "--recargo", "21", "--son-pesos", value, "--estricto"}),
        pdf);
    QCOMPARE(result.err, QString());
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringLiteral("52472012345678600152100\n"));
    for (int page : {1, 2}) {
        const QString text = PdfPageText(pdf, page).simplified();
        QVERIFY2(text.contains(QStringLiteral("Mil quinientos veintiuno con 00/100")),
                 qPrintable(text));
    }
}

void TestCommandLineRemarks::amountForms_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("payroll");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output");  // standard output, or what standard error says
    const QString forms =
        QStringLiteral("Formas aceptadas: «1000», «1000,50», «1000.50» o «1.000,50»");
    // 12345,67 as the voucher's float gives 185,18 of contribution.
    const QString code = QStringLiteral("52472012345678600018518\n");
    QTest::newRow("plain with decimal comma") << "remuneracion"
                                              << "12345,67" << 0 << code;
    QTest::newRow("plain with decimal point") << "remuneracion"
                                              << "12345.67" << 0 << code;
    QTest::newRow("argentine thousands point and decimal comma") << "remuneracion"
                                                                 << "12.345,67" << 0 << code;
    QTest::newRow("100.000 is ambiguous too")
        << "remuneracion"
        << "100.000" << 2
        << "--remuneracion: «100.000» es ambiguo: puede leerse como miles o como decimales. " +
               forms;
    QTest::newRow("1.000 is ambiguous")
        << "remuneracion"
        << "1.000" << 2
        << "--remuneracion: «1.000» es ambiguo: puede leerse como miles o como decimales. " + forms;
    QTest::newRow("1,000 is ambiguous")
        << "remuneracion"
        << "1,000" << 2
        << "--remuneracion: «1,000» es ambiguo: puede leerse como miles o como decimales. " + forms;
    QTest::newRow("english grouping is refused with the forms")
        << "remuneracion"
        << "12,345.67" << 2 << "--remuneracion: importe no válido «12,345.67». " + forms;
    QTest::newRow("a million is past the payroll's limit")
        << "remuneracion"
        << "1.000.000" << 2 << "--remuneracion: «1.000.000» supera el máximo de 999.999,99";
    QTest::newRow("1.250.000,00 is past the payroll's limit")
        << "remuneracion"
        << "1.250.000,00" << 2 << "--remuneracion: «1.250.000,00» supera el máximo de 999.999,99";
    QTest::newRow("seven digits are past the payroll's limit")
        << "remuneracion"
        << "1250000" << 2 << "--remuneracion: «1250000» supera el máximo de 999.999,99";
    // 999999,99 as the voucher's float is 1000000: 15000,00 of contribution.
    QTest::newRow("the payroll's largest") << "remuneracion"
                                           << "999.999,99" << 0 << "52472012345678601500000\n";
    QTest::newRow("leading zeros are a valid amount")
        << "remuneracion"
        << "00001000" << 0 << "52472012345678600001500\n";
    QTest::newRow("leading zeros before a grouped amount") << "remuneracion"
                                                           << "0012345,67" << 0 << code;
    QTest::newRow("five digits are past the surcharge's limit")
        << "recargo"
        << "10000" << 2 << "--recargo: «10000» supera el máximo de 9.999,99";
    QTest::newRow("other concepts' limit")
        << "otros"
        << "12.345,00" << 2 << "--otros: «12.345,00» supera el máximo de 9.999,99";
    QTest::newRow("the surcharge's largest after zeros")
        << "recargo"
        << "009999,99" << 0 << "52472012345678601001499\n";
}

void TestCommandLineRemarks::amountForms() {
    QFETCH(QString, option);
    QFETCH(QString, payroll);
    QFETCH(int, status);
    QFETCH(QString, output);
    const QString pdf = dir.filePath(QStringLiteral("forms.pdf"));
    QFile::remove(pdf);
    QStringList arguments{"--cuit", "20123456786", "--mes", "5", "--anio", "2026"};
    if (option != QStringLiteral("remuneracion")) {
        arguments << QStringLiteral("--remuneracion") << QStringLiteral("1000");
    }
    const Result result = run(arguments + QStringList{"--" + option, payroll}, pdf);
    QCOMPARE(result.status, status);
    if (status == 0) {
        QCOMPARE(result.out, output);
        QCOMPARE(result.err, QString());
    } else {
        QCOMPARE(result.err, "talonario: " + output + u'\n');
        QVERIFY(result.out.isEmpty());
        QVERIFY(!QFile::exists(pdf));
    }
}

void TestCommandLineRemarks::help_data() {
    QTest::addColumn<QString>("option");
    QTest::newRow("--help") << "--help";
    QTest::newRow("-h") << "-h";
    QTest::newRow("--help-all") << "--help-all";
}

// Spanish throughout, with every option, every batch column and the cash column's words.
void TestCommandLineRemarks::help() {
    QFETCH(QString, option);
    QProcess process;
    process.start(QStringLiteral(TALONARIO_BINARY), {option});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QString help = QString::fromUtf8(process.readAllStandardOutput());
    for (const char* expected :
         {"--estricto", "«auto»", "20-12345678-6", "1.000,50",
          "Uso: ", "Opciones:", "Muestra esta ayuda y termina.", "Muestra la versión y termina.",
          "--plantilla", "otros-desc, cheque", "«si», «sí», «s», «x», «1», «true» o «verdadero»",
          "«no», «n», «0», «false» o «falso», o la celda vacía"}) {
        QVERIFY2(help.contains(QString::fromUtf8(expected)), expected);
    }
    for (const char* english : {"Displays", "Usage", "Options:", "[options]", "help on"}) {
        QVERIFY2(!help.contains(QString::fromUtf8(english)), english);
    }
    for (const QString& line : help.split(u'\n')) {
        QVERIFY2(line.size() <= 100, qPrintable(line));
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
