// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "PdfReadBack.h"
#include "ProgramRun.h"
#include "ZbarDecode.h"

// `talonario --pdf`: the voucher from the command line, run as a user would.
class TestPdfCommand : public QObject {
    Q_OBJECT
  private slots:
    void validVoucher();
    void refusals_data();
    void refusals();
    void help();
    void commandLineForms_data();
    void commandLineForms();
    void windowWithoutDisplay();
    void newFileGetsTheUmasksMode_data();
    void newFileGetsTheUmasksMode();
    void replacedFileKeepsItsMode();
    void refusedTargetsAreKept_data();
    void refusedTargetsAreKept();
    void longestNameIsWritten();
    void nameThatIsNotUtf8KeepsItsBytes();

  private:
    using Result = ProgramResult;
    Result run(const QStringList& arguments, mode_t umask = 022) {
        // It must need no display.
        return RunProgram(QStringLiteral(TALONARIO_BINARY), arguments, EnvironmentWithoutDisplay(),
                          umask);
    }
    QTemporaryDir dir;
    const QStringList voucher{"--cuit", "20123456789", "--mes",          "5",
                              "--anio", "2026",        "--remuneracion", "1000"};
    static constexpr const char* kCode = "52472012345678900001500\n";
};

void TestPdfCommand::validVoucher() {
    const QString pdf = dir.filePath("valid.pdf");
    const Result result = run({"--pdf",
                               pdf,
                               "--establecimiento",
                               "taller norte",
                               "--cuit",
                               "20123456789",
                               "--mes",
                               "5",
                               "--anio",
                               "2026",
                               "--personal",
                               "7",
                               "--remuneracion",
                               "124123,45",
                               "--recargo",
                               "12.34",
                               "--otros",
                               "7,5",
                               "--otros-desc",
                               "aporte\nextra",
                               "--banco",
                               "banco sur",
                               "--efectivo"});
    QCOMPARE(result.status, 0);
    // 1861,85 + 12,34 + 7,50 = 1881,69
    QCOMPARE(result.out, QStringLiteral("52472012345678900188169\n"));
    QCOMPARE(PdfPageCount(pdf), 2);
    const QString text = PdfPageText(pdf, 1);
    for (const char* expected : {"Taller norte", "Banco sur", "1861", "1881", "69",
                                 "Para el Banco - Comprobante de Caja"}) {
        QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }
    QVERIFY(PdfPageText(pdf, 2).contains("Talón para el Depositante - Comprobante de Caja"));
    const auto decoded = DecodeBarcodes(PdfPageImage(pdf, 2, 300));
    QCOMPARE(decoded, std::vector<std::string>{"52472012345678900188169"});
}

void TestPdfCommand::refusals_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QStringList valid{"--cuit", "20123456789", "--mes",          "5",
                            "--anio", "2026",        "--remuneracion", "1000"};
    const auto with = [&valid](const QStringList& changes) {
        QStringList arguments = valid;
        for (qsizetype i = 0; i + 1 < changes.size(); i += 2) {
            const qsizetype at = arguments.indexOf(changes[i]);
            if (changes[i + 1].isNull()) {
                arguments.remove(at, 2);
            } else if (at >= 0) {
                arguments[at + 1] = changes[i + 1];
            } else {
                arguments << changes[i] << changes[i + 1];
            }
        }
        return arguments;
    };
    QTest::newRow("ten-digit cuit")
        << with({"--cuit", "2012345678"}) << 2 << "El C.U.I.T. debe tener 11 Números";
    QTest::newRow("no payroll") << with({"--remuneracion", QString()}) << 2
                                << "Debe ingresar la Remuneración obtenida";
    QTest::newRow("no month") << with({"--mes", QString()}) << 2
                              << "El mes ingresado es incorrecto";
    QTest::newRow("year 1990") << with({"--anio", "1990"}) << 2 << "El año ingresado es incorrecto";
    QTest::newRow("cuit with dashes out of place names the option")
        << with({"--cuit", "201-2345678-9"}) << 2 << "--cuit:";
    QTest::newRow("cuit longer than the box names the option")
        << with({"--cuit", "201234567890"}) << 2 << "--cuit:";
    QTest::newRow("month 13 names the option") << with({"--mes", "13"}) << 2 << "--mes:";
    QTest::newRow("three decimals name the option")
        << with({"--remuneracion", "100,123"}) << 2 << "--remuneracion:";
    QTest::newRow("a seven-digit payroll names the option")
        << with({"--remuneracion", "1000000"}) << 2 << "--remuneracion:";
    QTest::newRow("unknown option") << with({"--color", "rojo"}) << 2 << "color";
    QTest::newRow("folder that does not exist")
        << with({"--pdf", "/nonexistent/folder/v.pdf"}) << 3 << "/nonexistent/folder/v.pdf";
}

void TestPdfCommand::refusals() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString pdf = dir.filePath("refused.pdf");
    if (!arguments.contains("--pdf")) {
        arguments << "--pdf" << pdf;
    }
    const Result result = run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
    QVERIFY(!QFile::exists(pdf));
}

void TestPdfCommand::help() {
    const Result result = run({"--help"});
    QCOMPARE(result.status, 0);
    for (const char* expected :
         {"--pdf", "--cuit", "--remuneracion", "--efectivo", "--son-pesos", "--barcode", "--lote",
          "--carpeta", "--trabajos", "--un-pdf", "Estados de salida"}) {
        QVERIFY2(result.out.contains(QString::fromUtf8(expected)), expected);
    }
    QVERIFY(!result.out.contains("lote-trabajador"));  // the workers' own option stays hidden
}

void TestPdfCommand::commandLineForms_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString pdf = dir.filePath("forms.pdf");
    const QStringList voucher{"--cuit", "20123456789", "--mes",          "5",
                              "--anio", "2026",        "--remuneracion", "1000"};
    QTest::newRow("--pdf=FILE") << QStringList{"--pdf=" + pdf} + voucher << 0
                                << "52472012345678900001500\n"
                                << "";
    QTest::newRow("--cuit=VALUE") << QStringList{"--pdf",   pdf,           "--cuit=20123456789",
                                                 "--mes=5", "--anio=2026", "--remuneracion=1000"}
                                  << 0 << "52472012345678900001500\n"
                                  << "";
    QTest::newRow("-v prints the version") << QStringList{"-v"} << 0 << "talonario 1.0\n"
                                           << "";
    QTest::newRow("--version prints the version")
        << QStringList{"--version"} << 0 << "talonario 1.0\n"
        << "";
    QTest::newRow("--help-all, as --help advertises") << QStringList{"--help-all"} << 0 << "--pdf"
                                                      << "";
    QTest::newRow("unknown option alone is an error, in Spanish, no window")
        << QStringList{"--color"} << 2 << ""
        << "Opción desconocida «color»";
    QTest::newRow("stray argument") << QStringList{"extra"} << 2 << ""
                                    << "«extra»";
    QTest::newRow("option without its value") << QStringList{"--pdf"} << 2 << ""
                                              << "Falta valor tras «--pdf»";
    QTest::newRow("voucher options without --pdf") << voucher << 2 << ""
                                                   << "Uso: talonario --pdf";
    QTest::newRow("--pdf and --barcode together")
        << QStringList{"--pdf", pdf, "--barcode", "1"} << 2 << ""
        << "no van juntas";
    QTest::newRow("emoji typed whole into a name")
        << QStringList{"--pdf", pdf, "--establecimiento", "Taller \U0001F600"} + voucher << 0
        << "52472012345678900001500\n"
        << "";
    QTest::newRow("control character shown escaped")
        << QStringList{"--pdf", pdf, "--cuit", "2012\x1b"} + voucher.mid(2) << 2 << ""
        << "no admite «\\x1B» después de «2012»";
    QTest::newRow("emoji refused whole from a digit box")
        << QStringList{"--pdf", pdf, "--cuit", "2\U0001F600"} + voucher.mid(2) << 2 << ""
        << "no admite «\U0001F600» después de «2»";
    QTest::newRow("100 KiB value refused, not typed for minutes")
        << QStringList{"--pdf", pdf, "--calle", QString(100 * 1024, u'a')} + voucher << 2 << ""
        << "--calle: admite a lo sumo 1000 caracteres";
    QTest::newRow("value far beyond a limited box")
        << QStringList{"--pdf", pdf, "--cuit", QString(100 * 1024, u'1')} + voucher.mid(2) << 2
        << ""
        << "--cuit: no admite «1» después de «11111111111»";
    QTest::newRow("--impresora without --imprimir")
        << QStringList{"--pdf", pdf, "--impresora", "Otra"} + voucher << 2 << ""
        << "--impresora va con --imprimir";
    QTest::newRow("--imprimir prints instead of writing: not with --pdf")
        << QStringList{"--imprimir", "--pdf", pdf} + voucher << 2 << ""
        << "--imprimir no va con --pdf";
    QTest::newRow("--imprimir not with --barcode")
        << QStringList{"--imprimir", "--barcode", "1", "--output", pdf} << 2 << ""
        << "--imprimir no va con --pdf ni con --barcode";
    QTest::newRow("--imprimir refuses the voucher before any printer is asked")
        << QStringList{"--imprimir", "--impresora", "NoHayTalCola"} + voucher.mid(0, 4) +
               QStringList{"--anio", "1990", "--remuneracion", "1000"}
        << 2 << ""
        << "El año ingresado es incorrecto";
    QTest::newRow("--imprimir on a queue that is not there: status 3, nothing out")
        << QStringList{"--imprimir", "--impresora", "NoHayTalCola"} + voucher << 3 << ""
        << "Copia 1: No existe la impresora «NoHayTalCola»";
}

void TestPdfCommand::commandLineForms() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Result result = run(arguments);
    QCOMPARE(result.status, status);
    if (status == 0 && !out.endsWith('\n')) {
        QVERIFY2(result.out.contains(out), qPrintable(result.out));
    } else {
        QCOMPARE(result.out, out);
    }
    if (err.isEmpty()) {
        // Warnings at most (a wrong check digit), never a failure.
        for (const QString& line : result.err.split(u'\n', Qt::SkipEmptyParts)) {
            QVERIFY2(line.startsWith("talonario: aviso: "), qPrintable(result.err));
        }
    } else {
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
    }
}

void TestPdfCommand::windowWithoutDisplay() {
    const Result result = run({});
    QCOMPARE(result.status, 1);
    QVERIFY2(result.err.startsWith("talonario: no hay pantalla"), qPrintable(result.err));
    QCOMPARE(result.err.count('\n'), 1);
}

void TestPdfCommand::newFileGetsTheUmasksMode_data() {
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("mode");
    QTest::newRow("umask 022: 0644") << 022 << 0644;
    QTest::newRow("umask 027: 0640") << 027 << 0640;
    QTest::newRow("umask 077: 0600") << 077 << 0600;
}

void TestPdfCommand::newFileGetsTheUmasksMode() {
    QFETCH(int, umask);
    QFETCH(int, mode);
    const QString pdf = dir.filePath(QStringLiteral("umask-%1.pdf").arg(umask, 0, 8));
    const Result result = run(QStringList{"--pdf", pdf} + voucher, mode_t(umask));
    QCOMPARE(result.status, 0);
    struct stat written {};
    QCOMPARE(::stat(QFile::encodeName(pdf).constData(), &written), 0);
    QCOMPARE(int(written.st_mode & 07777), mode);
}

void TestPdfCommand::replacedFileKeepsItsMode() {
    const QString pdf = dir.filePath("kept-mode.pdf");
    QFile old(pdf);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QVERIFY(::chmod(QFile::encodeName(pdf).constData(), 0604) == 0);
    const Result result = run(QStringList{"--pdf", pdf} + voucher);
    QCOMPARE(result.status, 0);
    QCOMPARE(PdfPageCount(pdf), 2);
    struct stat written {};
    QCOMPARE(::stat(QFile::encodeName(pdf).constData(), &written), 0);
    QCOMPARE(int(written.st_mode & 07777), 0604);
}

void TestPdfCommand::refusedTargetsAreKept_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only file") << "readonly.pdf"
                                    << "el archivo es de solo lectura";
    QTest::newRow("folder missing") << "missing/v.pdf"
                                    << "la carpeta no existe";
    QTest::newRow("a file as folder") << "readonly.pdf/v.pdf"
                                      << "una parte de la ruta no es una carpeta";
    QTest::newRow("a folder") << "folder"
                              << "es una carpeta";
}

void TestPdfCommand::refusedTargetsAreKept() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir place;
    QFile readOnly(place.filePath("readonly.pdf"));
    QVERIFY(readOnly.open(QIODevice::WriteOnly));
    readOnly.write("keep");
    readOnly.close();
    QVERIFY(::chmod(QFile::encodeName(readOnly.fileName()).constData(), 0444) == 0);
    QVERIFY(QDir(place.path()).mkdir("folder"));
    const Result result = run(QStringList{"--pdf", place.filePath(name)} + voucher);
    QCOMPARE(result.status, 3);
    QVERIFY2(result.err.contains("No se puede escribir " + place.filePath(name) + ": " + reason),
             qPrintable(result.err));
    QVERIFY(result.out.isEmpty());
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    QCOMPARE(readOnly.readAll(), QByteArray("keep"));
    QCOMPARE(QDir(place.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{"folder", "readonly.pdf"}));
}

void TestPdfCommand::longestNameIsWritten() {
    // 255 bytes is the longest name a file may have; the temporary one must fit too.
    const QString name = QString(251, u'a') + ".pdf";
    QTemporaryDir place;
    const Result result = run(QStringList{"--pdf", place.filePath(name)} + voucher);
    QCOMPARE(result.status, 0);
    QCOMPARE(QDir(place.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
}

void TestPdfCommand::nameThatIsNotUtf8KeepsItsBytes() {
    QTemporaryDir place;
    QProcess shell;
    shell.setWorkingDirectory(place.path());
    shell.start("/bin/sh",
                QStringList{"-c", R"sh(exec "$0" --pdf "$(printf 'caf\351.pdf')" "$@")sh",
                            TALONARIO_BINARY} +
                    voucher);
    QVERIFY(shell.waitForFinished(60000));
    QCOMPARE(shell.exitCode(), 0);
    const QByteArray written = QFile::encodeName(place.path()) + "/caf\xe9.pdf";
    const QByteArray replaced = QFile::encodeName(place.path()) + "/caf\xef\xbf\xbd.pdf";
    QCOMPARE(::access(replaced.constData(), F_OK), -1);
    QCOMPARE(::access(written.constData(), F_OK), 0);
    ::unlink(written.constData());  // Qt could not remove a name it cannot decode
}

QTEST_GUILESS_MAIN(TestPdfCommand)
#include "TestPdfCommand.moc"
