// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "ProgramRun.h"
#include "batch/CsvRows.h"
#include "cli/VoucherOptions.h"

// `talonario --plantilla FILE.csv`: a CSV ready for --lote, as a user would
// start one, and what becomes of it when it cannot be written.
class TestTemplateCommand : public QObject {
    Q_OBJECT
  private slots:
    void writesEveryColumnAndAValidRow();
    void replacesAnExistingFile();
    void refusals_data();
    void refusals();

  private:
    static ProgramResult Run(const QStringList& arguments) {
        return RunProgram(QStringLiteral(TALONARIO_BINARY), arguments);
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

void TestTemplateCommand::writesEveryColumnAndAValidRow() {
    const QString csv = dir.filePath(QStringLiteral("empleadores.csv"));
    const ProgramResult written = Run({QStringLiteral("--plantilla"), csv});
    QCOMPARE(written.err, QString());
    QCOMPARE(written.status, 0);
    QCOMPARE(written.out, QString());

    const batch::CsvTable table = batch::ReadCsv(Read(csv));
    QCOMPARE(table.error, QString());
    QCOMPARE(table.header, cli::VoucherOptionNames());
    QCOMPARE(table.rows.size(), std::size_t(1));
    QCOMPARE(table.rows[0].fields.size(), table.header.size());
    const qsizetype cuit = table.header.indexOf(QStringLiteral("cuit"));
    QCOMPARE(table.rows[0].fields[cuit], QStringLiteral("20123456786"));

    // The example is a voucher the batch writes with no remark at all.
    const QString folder = dir.filePath(QStringLiteral("lote"));
    QVERIFY(QDir().mkpath(folder));
    const ProgramResult batch =
        Run({QStringLiteral("--lote"), csv, QStringLiteral("--carpeta"), folder,
             QStringLiteral("--trabajos"), QStringLiteral("1"), QStringLiteral("--estricto")});
    QVERIFY2(batch.status == 0, qPrintable(batch.err));
    const QStringList pdfs = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    QCOMPARE(pdfs, QStringList{QStringLiteral("comprobante-20123456786-2026-05.pdf")});
}

void TestTemplateCommand::replacesAnExistingFile() {
    const QString csv = dir.filePath(QStringLiteral("viejo.csv"));
    QFile old(csv);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("cuit\n1\n2\n3\n4\n5\n6\n7\n8\n9\n");
    old.close();
    QCOMPARE(Run({QStringLiteral("--plantilla"), csv}).status, 0);
    QVERIFY(Read(csv).startsWith("establecimiento;"));
    QCOMPARE(Read(csv).count('\n'), 2);
}

void TestTemplateCommand::refusals_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("err");
    const QString missing = dir.filePath(QStringLiteral("no-existe/plantilla.csv"));
    QTest::newRow("a folder that does not exist")
        << QStringList{"--plantilla", missing} << 3
        << QStringLiteral("talonario: No se puede escribir %1: la carpeta no existe\n")
               .arg(missing);
    QTest::newRow("a folder in the file's place")
        << QStringList{"--plantilla", dir.path()} << 3
        << QStringLiteral("talonario: No se puede escribir %1: es una carpeta\n").arg(dir.path());
    QTest::newRow("with a voucher option")
        << QStringList{"--plantilla", dir.filePath("a.csv"), "--cuit", "20123456786"} << 2
        << "talonario: --plantilla va sola; vea --help\n";
    QTest::newRow("with --lote") << QStringList{"--plantilla", dir.filePath("a.csv"),
                                                "--lote",      dir.filePath("b.csv"),
                                                "--carpeta",   dir.path()}
                                 << 2 << "talonario: --plantilla va sola; vea --help\n";
    QTest::newRow("without its file")
        << QStringList{"--plantilla"} << 2 << "talonario: Falta valor tras «--plantilla».\n";
}

void TestTemplateCommand::refusals() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, err);
    const ProgramResult result = Run(arguments);
    QCOMPARE(result.err, err);
    QCOMPARE(result.status, status);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("a.csv"))));
}

QTEST_GUILESS_MAIN(TestTemplateCommand)
#include "TestTemplateCommand.moc"
