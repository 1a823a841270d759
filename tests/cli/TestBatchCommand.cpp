// SPDX-License-Identifier: GPL-3.0-or-later
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "BatchFixture.h"
#include "PdfReadBack.h"
#include "ZbarDecode.h"
#include "batch/CsvRows.h"

using namespace batchtest;

// `talonario --lote`: many vouchers from one CSV, run as a user would, each
// row checked against resultado.csv and the barcodes read back with zbar.
class TestBatchCommand : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void rowByRow_data();
    void rowByRow();
    void onePdfInRowOrder();
    void commandRefusals_data();
    void commandRefusals();
    void interruptLeavesNoPartialFile_data();
    void interruptLeavesNoPartialFile();

  private:
    QTemporaryDir dir;
    QString mixedCsv;
};

// A spreadsheet export as found in practice: semicolons, quoted fields with a
// separator and a line break inside, one row saved in Windows-1252, and rows
// the voucher refuses.
void TestBatchCommand::initTestCase() {
    mixedCsv = dir.filePath("mixed.csv");
    Write(mixedCsv,
          "establecimiento;cuit;mes;anio;remuneracion;otros-desc;efectivo\r\n"
          "\"P\xC3\xA9rez; Hnos.\";20123456786;5;2026;100000,50;\"aporte\r\nextra\";s\xC3\xAD\r\n"
          "Panader\xED"
          "a;27234567891;6;2026;1000;;\r\n"
          "Mal;2012345;5;2026;100;;\r\n"
          "Mes;20123456786;13;2026;100;;\r\n"
          "Duplicado;20123456786;5;2026;2000;;no\r\n"
          "Sobra;20123456786;5;2026;2000;;;campo\r\n"
          "Digito;20123456789;7;2026;1000;;\r\n");
}

void TestBatchCommand::rowByRow_data() {
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");  // on the voucher, for written rows

    // The name the first row proposes is already taken before the run.
    QTest::newRow("quoted separator and line break; name taken gets (2)")
        << "2"
        << "comprobante-20123456786-2026-05 (2).pdf"
        << "52472012345678600150000"
        << "escrito" << QString() << "Pérez; Hnos.";
    QTest::newRow("Windows-1252 row") << "3"
                                      << "comprobante-27234567891-2026-06.pdf"
                                      << "52472723456789100001500"
                                      << "escrito" << QString() << "Panadería";
    QTest::newRow("bad C.U.I.T. refused with the voucher's message")
        << "4" << QString() << QString() << "rechazado"
        << "El C.U.I.T. debe tener 11 Números" << QString();
    QTest::newRow("month 13 refused by the month filter")
        << "5" << QString() << QString() << "rechazado"
        << "mes: no admite «3» después de «1»" << QString();
    QTest::newRow("duplicate name gets the next number, in row order; the period told twice")
        << "6"
        << "comprobante-20123456786-2026-05 (3).pdf"
        << "52472012345678600003000"
        << "escrito"
        << "Aviso: la fila 2 ya tiene el mismo C.U.I.T. y período"
        << "Duplicado";
    QTest::newRow("more fields than the header")
        << "7" << QString() << QString() << "rechazado"
        << "la fila tiene 8 campos y el encabezado 7" << QString();
    QTest::newRow("wrong check digit written, with the warning")
        << "8"
        << "comprobante-20123456789-2026-07.pdf"
        << "52472012345678900001500"
        << "escrito"
        << "Aviso: El dígito verificador del C.U.I.T. no es correcto: es 9 y debería ser 6"
        << "Digito";
}

void TestBatchCommand::rowByRow() {
    QFETCH(QString, row);
    QFETCH(QString, file);
    QFETCH(QString, code);
    QFETCH(QString, status);
    QFETCH(QString, message);
    QFETCH(QString, text);

    // One run for every row of the table.
    static const QString folder = dir.filePath("rows");
    static bool ran = false;
    if (!ran) {
        ran = true;
        QVERIFY(QDir().mkpath(folder));
        Write(QDir(folder).filePath("comprobante-20123456786-2026-05.pdf"), "ya estaba");
        const Result result = Run({"--lote", mixedCsv, "--carpeta", folder, "--trabajos", "2"});
        QVERIFY2(result.status == 4, qPrintable(result.err));  // some rows refused
        QCOMPARE(Results(folder).size(), 7);
        QCOMPARE(Leftovers(folder), QStringList());
        QFile taken(QDir(folder).filePath("comprobante-20123456786-2026-05.pdf"));
        QVERIFY(taken.open(QIODevice::ReadOnly));
        QCOMPARE(taken.readAll(), QByteArray("ya estaba"));  // never overwritten
    }
    const QStringList result = Results(folder).value(row);
    QCOMPARE(result.value(0), file);
    QCOMPARE(result.value(1), code);
    QCOMPARE(result.value(2), status);
    QCOMPARE(result.value(3), message);
    if (!file.isEmpty()) {
        const QString pdf = QDir(folder).filePath(file);
        QCOMPARE(PdfPageCount(pdf), 2);
        QVERIFY2(PdfPageText(pdf, 1).contains(text), qPrintable(PdfPageText(pdf, 1)));
        QCOMPARE(DecodeBarcodes(PdfPageImage(pdf, 2, 300)),
                 std::vector<std::string>{code.toStdString()});
    }
}

void TestBatchCommand::onePdfInRowOrder() {
    const QString folder = dir.filePath("one");
    const QString pdf = dir.filePath("one/todos.pdf");
    const Result result =
        Run({"--lote", mixedCsv, "--carpeta", folder, "--un-pdf", pdf, "--trabajos", "2"});
    QVERIFY2(result.status == 4, qPrintable(result.err));
    QCOMPARE(QDir(folder).entryList(QDir::Files), (QStringList{"resultado.csv", "todos.pdf"}));
    const auto results = Results(folder);
    QCOMPARE(results.value("2").value(3), QStringLiteral("páginas 1 a 2"));
    QCOMPARE(results.value("3").value(3), QStringLiteral("páginas 3 a 4"));
    QCOMPARE(
        results.value("6").value(3),
        QStringLiteral("páginas 5 a 6; Aviso: la fila 2 ya tiene el mismo C.U.I.T. y período"));
    QVERIFY(results.value("8").value(3).startsWith("páginas 7 a 8; Aviso: El dígito verificador"));
    QCOMPARE(PdfPageCount(pdf), 8);
    const char* codes[] = {"52472012345678600150000", "52472723456789100001500",
                           "52472012345678600003000", "52472012345678900001500"};
    for (int voucher = 0; voucher < 4; ++voucher) {
        QCOMPARE(DecodeBarcodes(PdfPageImage(pdf, 2 * voucher + 1, 300)),
                 std::vector<std::string>{codes[voucher]});
    }
    QVERIFY(PdfPageText(pdf, 4).contains("Talón para el Depositante"));
    // Replayed into the one PDF, a page looks exactly as in its own file.
    const QString alone = dir.filePath("rows/comprobante-20123456786-2026-05 (2).pdf");
    if (QFile::exists(alone)) {
        for (int page = 1; page <= 2; ++page) {
            QCOMPARE(PdfPageImage(pdf, page, 150), PdfPageImage(alone, page, 150));
        }
    }

    // The voucher picture is embedded once, whichever worker recorded a page.
    QProcess images;
    images.start("pdfimages", {"-list", pdf});
    QVERIFY(images.waitForFinished(60000));
    QSet<QString> pictureObjects;
    int pictures = 0;
    for (const QString& line : QString::fromUtf8(images.readAllStandardOutput()).split(u'\n')) {
        const QStringList columns = line.simplified().split(u' ');
        if (columns.size() > 10 && columns[3] == "567" && columns[4] == "712") {
            ++pictures;
            pictureObjects.insert(columns[10]);
        }
    }
    QCOMPARE(pictures, 8);
    QCOMPARE(pictureObjects.size(), 1);
}

void TestBatchCommand::commandRefusals_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QByteArray good("cuit,mes,anio,remuneracion\n20123456786,5,2026,1000\n");
    QTest::newRow("every row written") << good << QStringList() << 0 << "1 escritos";
    QTest::newRow("unknown column") << QByteArray("cuit,color\n20123456789,rojo\n") << QStringList()
                                    << 2 << "columna desconocida «color»";
    QTest::newRow("column twice") << QByteArray("mes,MES\n5,5\n") << QStringList() << 2
                                  << "la columna «mes» está dos veces";
    QTest::newRow("quote never closed") << QByteArray("cuit\n\"201\n") << QStringList() << 2
                                        << "fila 2: las comillas no están bien puestas";
    QTest::newRow("efectivo neither yes nor no")
        << QByteArray("cuit,mes,anio,remuneracion,efectivo\n20123456789,5,2026,1000,quizás\n")
        << QStringList() << 4 << "efectivo: «quizás» no es sí ni no";
    QTest::newRow("--estricto refuses a wrong check digit")
        << QByteArray("cuit,mes,anio,remuneracion\n20123456789,5,2026,1000\n")
        << QStringList{"--estricto", ""} << 4 << "dígito verificador";
    QTest::newRow("no such CSV") << good << QStringList{"--lote", "/nonexistent/a.csv"} << 2
                                 << "No se puede leer";
    QTest::newRow("folder is a file") << good << QStringList{"--carpeta", "/etc/hostname"} << 3
                                      << "No se puede escribir en la carpeta";
    QTest::newRow("a voucher option beside --lote")
        << good << QStringList{"--cuit", "20123456789"} << 2 << "--cuit no va con --lote";
    QTest::newRow("no folder") << good << QStringList{"--carpeta", QString()} << 2
                               << "Uso: talonario --lote";
    QTest::newRow("workers not a number")
        << good << QStringList{"--trabajos", "dos"} << 2 << "--trabajos";
}

void TestBatchCommand::commandRefusals() {
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QString folder = dir.filePath(QStringLiteral("refusal-%1").arg(QTest::currentDataTag()));
    const QString csvPath = folder + QStringLiteral(".csv");
    Write(csvPath, csv);
    QStringList arguments{"--lote", csvPath, "--carpeta", folder};
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        const qsizetype at = arguments.indexOf(options[i]);
        if (options[i + 1].isNull()) {
            arguments.remove(at, 2);
        } else if (at >= 0) {
            arguments[at + 1] = options[i + 1];
        } else {
            arguments << options[i];
            if (!options[i + 1].isEmpty()) {
                arguments << options[i + 1];
            }
        }
    }
    const Result result = Run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(message, Qt::CaseInsensitive), qPrintable(result.err));
}

// Ctrl+C, a TERM and a hang-up all end a batch the same way, each with the
// status the shell reports for it.
void TestBatchCommand::interruptLeavesNoPartialFile_data() {
    QTest::addColumn<bool>("onePdf");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("status");
    QTest::newRow("Ctrl+C, separate files") << false << int(SIGINT) << 130;
    QTest::newRow("Ctrl+C, one PDF") << true << int(SIGINT) << 130;
    QTest::newRow("TERM, separate files") << false << int(SIGTERM) << 143;
    QTest::newRow("hang-up, one PDF") << true << int(SIGHUP) << 129;
}

void TestBatchCommand::interruptLeavesNoPartialFile() {
    QFETCH(bool, onePdf);
    QFETCH(int, signal);
    QFETCH(int, status);
    const QString name = QStringLiteral("stop-%1-%2").arg(onePdf ? "one" : "files").arg(signal);
    const QString folder = dir.filePath(name);
    const QString csvPath = dir.filePath(name + ".csv");
    QByteArray csv("cuit,mes,anio,remuneracion\n");
    constexpr int kRows = 400;
    for (int i = 0; i < kRows; ++i) {
        csv += "20123456789,5,2026," + QByteArray::number(1000 + i) + "\n";
    }
    Write(csvPath, csv);
    QStringList arguments{"--lote", csvPath, "--carpeta", folder, "--trabajos", "2"};
    if (onePdf) {
        arguments << "--un-pdf" << QDir(folder).filePath("todos.pdf");
    }
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(QStringLiteral(TALONARIO_BINARY), arguments);
    QVERIFY(process.waitForStarted());
    // In the middle: once the workers are writing.
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += process.readAllStandardError()).contains("fila 5:"), 60000);
    ::kill(static_cast<pid_t>(process.processId()), signal);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), status);

    QCOMPARE(Leftovers(folder), QStringList());
    const auto results = Results(folder);
    QCOMPARE(results.size(), kRows);  // every row accounted for
    int written = 0;
    for (const QStringList& result : results) {
        QVERIFY2(result.value(2) == "escrito" || result.value(2) == "no hecho",
                 qPrintable(result.join(u'|')));
        if (result.value(2) == "escrito") {
            ++written;
            QVERIFY(!onePdf);
            QCOMPARE(PdfPageCount(QDir(folder).filePath(result.value(0))), 2);
        }
    }
    QVERIFY(written < kRows);
    const QStringList pdfs = QDir(folder).entryList({"*.pdf"}, QDir::Files);
    QCOMPARE(pdfs.size(), written);  // every file there is one listed as written
}

QTEST_GUILESS_MAIN(TestBatchCommand)
#include "TestBatchCommand.moc"
