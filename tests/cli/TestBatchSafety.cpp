// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "BatchFixture.h"
#include "PdfReadBack.h"

using namespace batchtest;

// What the batch writes goes only where asked, never through what another
// user planted, and no run loses another's record.
class TestBatchSafety : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void plantedAtTheReport_data();
    void plantedAtTheReport();
    void onePdfTargets_data();
    void onePdfTargets();
    void namesThatAreNotUtf8();
    void secondBatchIntoTheFolderRefused();
    void rerunsAreSafe();
    void killedOutright();
    void qtOptionsRefused_data();
    void qtOptionsRefused();
    void inputsBounded_data();
    void inputsBounded();
    void reportCellsSafe();
    void readAheadIsBounded();
    void folderWithoutHardLinks();

  private:
    QString Csv(const QString& name, int rows, int firstRemuneration = 1000);
    QTemporaryDir dir;
    QString small;  // three written rows and one refused
};

namespace {

const QStringList kVoucher{"--cuit", "20123456786", "--mes",          "5",
                           "--anio", "2026",        "--remuneracion", "1000"};

QStringList PdfsIn(const QString& folder) {
    return QDir(folder).entryList({"*.pdf"}, QDir::Files);
}

mode_t Mode(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode : 0;
}

}  // namespace

QString TestBatchSafety::Csv(const QString& name, int rows, int firstRemuneration) {
    QByteArray csv("cuit;mes;anio;remuneracion\n");
    for (int i = 0; i < rows; ++i) {
        // A month each, so no row repeats another's employer and period.
        csv += "20123456786;" + QByteArray::number(i % 12 + 1) + ";" +
               QByteArray::number(2000 + i / 12) + ";" + QByteArray::number(firstRemuneration + i) +
               "\n";
    }
    const QString path = dir.filePath(name);
    Write(path, csv);
    return path;
}

void TestBatchSafety::initTestCase() {
    QVERIFY(dir.isValid());
    small = dir.filePath("small.csv");
    QVERIFY(Write(small,
                  "cuit;mes;anio;remuneracion;establecimiento\n"
                  "20123456786;5;2026;1000;Norte\n"
                  "27234567891;6;2026;2000;Sur\n"
                  "2012;6;2026;2000;Corto\n"
                  "20123456786;7;2026;3000;Norte\n"));
}

// A link or a pipe at resultado.csv is neither followed nor waited on: the
// batch refuses the folder before it writes anything.
void TestBatchSafety::plantedAtTheReport_data() {
    QTest::addColumn<QString>("plant");
    QTest::newRow("link to the user's own file elsewhere") << "link";
    QTest::newRow("pipe nobody reads") << "fifo";
}

void TestBatchSafety::plantedAtTheReport() {
    QFETCH(QString, plant);
    const QString folder = dir.filePath("planted-" + plant);
    QVERIFY(QDir().mkpath(folder));
    const QString report = QDir(folder).filePath("resultado.csv");
    const QString own = dir.filePath("own-" + plant + ".txt");
    QVERIFY(Write(own, "mine"));
    QVERIFY(::chmod(QFile::encodeName(own).constData(), 0600) == 0);
    if (plant == "link") {
        QVERIFY(QFile::link(own, report));
    } else {
        QCOMPARE(::mkfifo(QFile::encodeName(report).constData(), 0600), 0);
    }
    const Result result = Run({"--lote", small, "--carpeta", folder});
    QCOMPARE(result.status, 3);
    QVERIFY2(result.err.contains("resultado.csv: no es un archivo común"), qPrintable(result.err));
    QCOMPARE(Read(own), QByteArray("mine"));
    QCOMPARE(int(Mode(own) & 07777), 0600);
    QVERIFY(plant == "link" ? S_ISLNK(Mode(report)) : S_ISFIFO(Mode(report)));
    QCOMPARE(PdfsIn(folder), QStringList());
    QCOMPARE(Leftovers(folder), QStringList());
}

// --un-pdf keeps every rule --pdf keeps.
void TestBatchSafety::onePdfTargets_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("mode");  // of the file afterwards; 0: not checked
    QTest::newRow("new file under umask 077") << "new" << 077 << 0 << "" << 0600;
    QTest::newRow("a 0600 file keeps its mode") << "0600" << 022 << 0 << "" << 0600;
    QTest::newRow("a 0444 file is refused, kept")
        << "0444" << 022 << 3 << "el archivo es de solo lectura" << 0444;
    QTest::newRow("own link: kept, its file replaced") << "link" << 022 << 0 << "" << 0;
    QTest::newRow("/dev/null written in place") << "/dev/null" << 022 << 0 << "" << 0;
    QTest::newRow("/dev/full: the disk is full")
        << "/dev/full" << 022 << 3 << "el disco está lleno" << 0;
    QTest::newRow("a pipe nobody reads: refused at once")
        << "fifo" << 022 << 3 << "es una tubería que nadie está leyendo" << 0;
    QTest::newRow("the input CSV is refused") << "csv" << 022 << 2 << "es el CSV o el informe" << 0;
    QTest::newRow("the folder's report is refused")
        << "report" << 022 << 2 << "es el CSV o el informe" << 0;
}

void TestBatchSafety::onePdfTargets() {
    QFETCH(QString, target);
    QFETCH(int, umask);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(int, mode);
    const QString folder = dir.filePath("one-" + QString(QTest::currentDataTag()).left(12));
    QVERIFY(QDir().mkpath(folder));
    const QString csv = dir.filePath(QStringLiteral("one-%1.csv").arg(target).remove(u'/'));
    QVERIFY(QFile::copy(small, csv) || QFile::exists(csv));
    QString path = dir.filePath("todos-" + QString(target).remove(u'/') + ".pdf");
    if (target == "0600" || target == "0444") {
        QVERIFY(Write(path, "old"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), target.toInt(nullptr, 8)) == 0);
    } else if (target == "link") {
        QVERIFY(Write(dir.filePath("pointed.pdf"), "old"));
        QVERIFY(QFile::link(dir.filePath("pointed.pdf"), path));
    } else if (target.startsWith("/dev/")) {
        path = target;
    } else if (target == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (target == "csv") {
        path = csv;
    } else if (target == "report") {
        path = QDir(folder).filePath("resultado.csv");
    }
    const QByteArray csvBefore = Read(csv);
    const Result result =
        Run({"--lote", csv, "--carpeta", folder, "--un-pdf", path}, Environment(), mode_t(umask));
    QVERIFY2(result.status == (status == 0 ? 4 : status),
             qPrintable(result.err));  // 4: a row refused
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QCOMPARE(Read(csv), csvBefore);
    if (mode != 0) {
        QCOMPARE(int(Mode(path) & 07777), mode);
    }
    if (status == 0 && !target.startsWith("/dev/")) {
        QCOMPARE(PdfPageCount(path), 6);
    }
    if (target == "0444") {
        QCOMPARE(Read(path), QByteArray("old"));
    } else if (target == "link") {
        QVERIFY(S_ISLNK(Mode(path)));
        QCOMPARE(PdfPageCount(dir.filePath("pointed.pdf")), 6);
    } else if (target.startsWith("/dev/")) {
        QVERIFY(S_ISCHR(Mode(path)));
    } else if (target == "fifo") {
        QVERIFY(S_ISFIFO(Mode(path)));
    }
    for (const QString& left : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
        QVERIFY2(!left.startsWith(".talonario-"), qPrintable(left));
    }
}

// Folder, CSV and one PDF whose names are not UTF-8 keep their bytes.
void TestBatchSafety::namesThatAreNotUtf8() {
    QTemporaryDir place;
    QVERIFY(QFile::copy(small, place.filePath("lista.csv")));
    QProcess shell;
    shell.setWorkingDirectory(place.path());
    shell.setProcessEnvironment(Environment());
    shell.start("/bin/sh", {"-c",
                            R"sh(cp lista.csv "$(printf 'n\361mina.csv')" &&
                            "$0" --lote "$(printf 'n\361mina.csv')" --carpeta "$(printf 'carpeta\351')" &&
                            exit 9; [ $? = 4 ] || exit 8
                            "$0" --lote "$(printf 'n\361mina.csv')" --carpeta uno --un-pdf "$(printf 'caf\351.pdf')"
                            [ $? = 4 ] || exit 7
                            [ -f "$(printf 'carpeta\351')/resultado.csv" ] && [ -s "$(printf 'caf\351.pdf')" ])sh",
                            TALONARIO_BINARY});
    QVERIFY(shell.waitForFinished(120000));
    QVERIFY2(shell.exitCode() == 0,
             qPrintable(QString::number(shell.exitCode()) + shell.readAllStandardError()));
    // Qt cannot remove names it cannot decode.
    QCOMPARE(QProcess::execute("rm", {"-rf", place.path()}), 0);
}

// One batch at a time writes into a folder: a second one waits briefly,
// then refuses in Spanish; the first one's record is whole. The first is
// held stopped meanwhile, so it is surely still in the middle of its run.
void TestBatchSafety::secondBatchIntoTheFolderRefused() {
    const QString folder = dir.filePath("shared-folder");
    const QString csv = Csv("long.csv", 20);
    QProcess first;
    first.setProcessEnvironment(Environment());
    first.start(QStringLiteral(TALONARIO_BINARY),
                {"--lote", csv, "--carpeta", folder, "--trabajos", "1"});
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += first.readAllStandardError()).contains("fila 2:"), 60000);
    const auto batch = static_cast<pid_t>(first.processId());
    QCOMPARE(::kill(batch, SIGSTOP), 0);
    const Result second = Run({"--lote", small, "--carpeta", folder});
    QCOMPARE(::kill(batch, SIGCONT), 0);
    QVERIFY(first.waitForFinished(300000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.status, 3);
    QVERIFY2(second.err.contains("Otra corrida de --lote está escribiendo en la carpeta"),
             qPrintable(second.err));
    QCOMPARE(Results(folder).size(), 20);
    QCOMPARE(PdfsIn(folder).size(), 20);
    QCOMPARE(Leftovers(folder), QStringList());
}

// A rerun writes only what is not already in the folder, and no run
// destroys an earlier run's record.
void TestBatchSafety::rerunsAreSafe() {
    const QString folder = dir.filePath("reruns");
    Result result = Run({"--lote", small, "--carpeta", folder});
    QCOMPARE(result.status, 4);
    QCOMPARE(PdfsIn(folder).size(), 3);

    // The same CSV again: nothing written twice.
    result = Run({"--lote", small, "--carpeta", folder});
    QCOMPARE(result.status, 4);
    QVERIFY2(result.err.contains("0 escritos (0 con avisos), 3 ya estaban, 1 rechazados"),
             qPrintable(result.err));
    QCOMPARE(PdfsIn(folder).size(), 3);
    auto rows = Results(folder);
    QCOMPARE(rows.value("2").value(2), QString("ya estaba"));
    QCOMPARE(rows.value("2").value(0), QString("comprobante-20123456786-2026-05.pdf"));

    // Only the corrected row, and a voucher changed under a taken name.
    const QString fixed = dir.filePath("fixed.csv");
    QVERIFY(Write(fixed,
                  "cuit;mes;anio;remuneracion\n"
                  "20123456786;6;2026;2000\n"
                  "20123456786;5;2026;1500\n"));
    result = Run({"--lote", fixed, "--carpeta", folder});
    QCOMPARE(result.status, 0);
    rows = Results(folder);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.value("2").value(0), QString("comprobante-20123456786-2026-06.pdf"));
    QCOMPARE(rows.value("3").value(0), QString("comprobante-20123456786-2026-05 (2).pdf"));
    QCOMPARE(rows.value("3").value(2), QString("escrito"));
    // The last line gives the counts and the sum of what was written: the
    // contributions of 2000 and 1500, 30 and 22,50.
    QFile report(QDir(folder).filePath("resultado.csv"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const batch::CsvTable table = batch::ReadCsv(report.readAll());
    const QStringList last = table.rows.back().fields;
    QCOMPARE(last.value(0), QString("total"));
    QCOMPARE(last.value(4), QString("2 escritos (0 con avisos), 0 ya estaban, 0 rechazados, "
                                    "0 con error, 0 sin hacer; total escrito 52,50"));
    QCOMPARE(last.value(12), QString("52,50"));
    QVERIFY2(result.err.contains("total escrito 52,50"), qPrintable(result.err));

    // Both earlier reports are kept beside the latest, with their rows.
    const QStringList kept = QDir(folder).entryList({"resultado *.csv"}, QDir::Files);
    QCOMPARE(kept.size(), 2);
    int keptRows = 0;
    for (const QString& name : kept) {
        keptRows += Report(QDir(folder).filePath(name)).size();
    }
    QCOMPARE(keptRows, 8);
    QCOMPARE(PdfsIn(folder).size(), 5);
    QCOMPARE(Leftovers(folder), QStringList());
}

// SIGKILL at random moments: the workers go with the batch, every file with
// a final name is complete, and the next run removes what was left half
// done, keeps the killed run's record and writes nothing twice.
void TestBatchSafety::killedOutright() {
    const QString csv = Csv("killed.csv", 60);
    for (int trial = 0; trial < 3; ++trial) {
        const QString folder = dir.filePath(QStringLiteral("killed-%1").arg(trial));
        QProcess batch;
        batch.setProcessEnvironment(Environment());
        batch.start(QStringLiteral(TALONARIO_BINARY),
                    {"--lote", csv, "--carpeta", folder, "--trabajos", "2"});
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += batch.readAllStandardError()).contains("fila 2:"), 60000);
        QTest::qWait(QRandomGenerator::global()->bounded(50, 1500));
        QStringList workers;
        QDirIterator tasks(QStringLiteral("/proc/%1/task").arg(batch.processId()));
        while (tasks.hasNext()) {
            QFile children(tasks.next() + "/children");
            if (children.open(QIODevice::ReadOnly)) {
                workers += QString::fromLatin1(children.readAll()).split(u' ', Qt::SkipEmptyParts);
            }
        }
        ::kill(static_cast<pid_t>(batch.processId()), SIGKILL);
        QVERIFY(batch.waitForFinished(10000));
        for (const QString& worker : workers) {
            QTRY_VERIFY2_WITH_TIMEOUT(!QFile::exists("/proc/" + worker),
                                      qPrintable("worker " + worker + " outlived the batch"),
                                      10000);
        }
        for (const QString& pdf : PdfsIn(folder)) {
            QCOMPARE(PdfPageCount(QDir(folder).filePath(pdf)), 2);
        }
        const qsizetype before = PdfsIn(folder).size();
        QTest::qWait(2100);  // what a dead writer left is old enough to be known as such
        const Result rerun = Run({"--lote", csv, "--carpeta", folder, "--trabajos", "2"});
        QCOMPARE(rerun.status, 0);
        QVERIFY2(
            rerun.err.contains(QStringLiteral("%1 escritos (0 con avisos), %2 ya estaban")
                                   .arg(60 - before)
                                   .arg(before)),
            qPrintable(
                QStringLiteral("%1 before; %2").arg(before).arg(rerun.err.section(u'\n', -2))));
        QCOMPARE(PdfsIn(folder).size(), 60);
        QCOMPARE(Leftovers(folder), QStringList());
        // Nor is a killed worker's private folder left for good.
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        const QString privateFolder =
            runtime.isEmpty() ? QDir::tempPath() + QStringLiteral("/talonario-%1").arg(::geteuid())
                              : runtime + QStringLiteral("/talonario");
        for (const QString& worker : workers) {
            QVERIFY2(!QFile::exists(privateFolder + "/lote-" + worker), qPrintable(worker));
        }
    }
}

// Qt's own options are refused like any unknown option: never acted on.
void TestBatchSafety::qtOptionsRefused_data() {
    QTest::addColumn<QStringList>("options");
    QTest::newRow("-platform xcb without a display") << QStringList{"-platform", "xcb"};
    QTest::newRow("-style") << QStringList{"-style", "foo"};
    QTest::newRow("-reverse") << QStringList{"-reverse"};
    QTest::newRow("-display") << QStringList{"-display", ":99"};
    QTest::newRow("-qwindowgeometry") << QStringList{"-qwindowgeometry", "10x10"};
}

void TestBatchSafety::qtOptionsRefused() {
    QFETCH(QStringList, options);
    const QString pdf = dir.filePath("qt-options.pdf");
    const Result result = Run(QStringList{"--pdf", pdf} + kVoucher + options);
    QCOMPARE(result.status, 2);
    QVERIFY2(result.err.startsWith("talonario: "), qPrintable(result.err));
    QVERIFY(!QFile::exists(pdf));
}

// Inputs that are not plain files, or too large, are refused at once; a
// pipe as a target never holds the run up.
void TestBatchSafety::inputsBounded_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString fifo = dir.filePath("input.fifo");
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    const QString huge = dir.filePath("huge.csv");
    QFile sparse(huge);
    if (sparse.open(QIODevice::WriteOnly)) {
        sparse.resize(65LL * 1024 * 1024);
    }
    const QString folder = dir.filePath("bounded");
    QTest::newRow("/dev/zero as the CSV")
        << QStringList{"--lote", "/dev/zero", "--carpeta", folder} << 2 << "no es un archivo común";
    QTest::newRow("a pipe as the CSV")
        << QStringList{"--lote", fifo, "--carpeta", folder} << 2 << "no es un archivo común";
    QTest::newRow("a CSV over 64 MB")
        << QStringList{"--lote", huge, "--carpeta", folder} << 2 << "ocupa más de 64 MB";
    QTest::newRow("--pdf into a pipe nobody reads")
        << (QStringList{"--pdf", fifo} + kVoucher) << 3 << "es una tubería que nadie está leyendo";
}

void TestBatchSafety::inputsBounded() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const Result result = Run(arguments);
    QCOMPARE(result.status, status);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
}

// Control characters never reach the terminal or the report raw, and no
// report cell starts what a spreadsheet would take as a formula.
void TestBatchSafety::reportCellsSafe() {
    const QString csv = dir.filePath("cells.csv");
    QVERIFY(Write(csv,
                  "cuit;mes;anio;remuneracion;efectivo;establecimiento\n"
                  "20123456786;5;2026;1000;\x1b[2J;Norte\n"
                  "20123456786;6;2026;1000;no;=1+2\n"
                  "20123456786;7;2026;1000;no;@SUMA\n"));
    const QString folder = dir.filePath("cells");
    const Result result = Run({"--lote", csv, "--carpeta", folder});
    QCOMPARE(result.status, 4);
    QVERIFY(!result.err.contains(u'\x1b'));
    QVERIFY2(result.err.contains("efectivo: «\\x1B[2J» no es sí ni no"), qPrintable(result.err));
    const QByteArray report = Read(QDir(folder).filePath("resultado.csv"));
    QVERIFY(!report.contains('\x1b'));
    const auto rows = Results(folder);
    QCOMPARE(rows.value("2").value(2), QString("rechazado"));
    QCOMPARE(rows.value("3").value(5), QString("'=1+2"));
    QCOMPARE(rows.value("4").value(5), QString("'@SUMA"));
    for (const QStringList& row : rows) {
        for (const QString& cell : row) {
            QVERIFY2(cell.isEmpty() || !QString("=+-@").contains(cell[0]), qPrintable(cell));
        }
    }
}

// Rows refused on reading pile up behind a row a worker is making only up
// to a bound; reading then waits, idle workers included, and every row still
// comes out once, in order.
void TestBatchSafety::readAheadIsBounded() {
    QByteArray csv("cuit;mes;anio;remuneracion;efectivo\n");
    for (int block = 0; block < 3; ++block) {
        csv += "20123456786;" + QByteArray::number(block + 1) + ";2026;1000;no\n";
        for (int i = 0; i < 1500; ++i) {
            csv += "20123456786;5;2026;1000;quizás\n";
        }
    }
    const QString path = dir.filePath("read-ahead.csv");
    QVERIFY(Write(path, csv));
    const QString folder = dir.filePath("read-ahead");
    const Result result = Run({"--lote", path, "--carpeta", folder, "--trabajos", "2"});
    QCOMPARE(result.status, 4);
    const auto rows = Results(folder);
    QCOMPARE(rows.size(), 4503);
    for (int block = 0; block < 3; ++block) {
        QCOMPARE(rows.value(QString::number(2 + block * 1501)).value(2), QString("escrito"));
    }
    QCOMPARE(PdfsIn(folder).size(), 3);
    QFile report(QDir(folder).filePath("resultado.csv"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const batch::CsvTable table = batch::ReadCsv(report.readAll());
    for (std::size_t i = 0; i + 1 < table.rows.size(); ++i) {
        QCOMPARE(table.rows[i].fields.value(0), QString::number(i + 2));
    }
    QCOMPARE(table.rows.back().fields.value(0), QString("total"));
}

// A folder on a file system without hard links (a FAT or exFAT stick), as
// the program sees it with them taken away: every row is written, numbered
// names included, and nothing is left behind.
void TestBatchSafety::folderWithoutHardLinks() {
    QProcessEnvironment environment = Environment();
    environment.insert("LD_PRELOAD", QStringLiteral(TALONARIO_NO_HARD_LINKS));
    // Under AddressSanitizer the preloaded library comes before its runtime.
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") +
                                           QStringLiteral(":verify_asan_link_order=0"));
    const QString folder = dir.filePath("no-hard-links");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(Write(QDir(folder).filePath("comprobante-20123456786-2026-05.pdf"), "taken"));
    const Result result = Run({"--lote", small, "--carpeta", folder}, environment);
    QCOMPARE(result.status, 4);
    const auto rows = Results(folder);
    QCOMPARE(rows.value("2").value(0), QString("comprobante-20123456786-2026-05 (2).pdf"));
    QCOMPARE(rows.value("3").value(2), QString("escrito"));
    QCOMPARE(Read(QDir(folder).filePath("comprobante-20123456786-2026-05.pdf")),
             QByteArray("taken"));
    QCOMPARE(PdfsIn(folder).size(), 4);
    const Result again = Run({"--lote", small, "--carpeta", folder}, environment);
    QVERIFY2(again.err.contains("0 escritos (0 con avisos), 3 ya estaban"), qPrintable(again.err));
    QCOMPARE(QDir(folder).entryList({"resultado *.csv"}, QDir::Files).size(), 1);
    QCOMPARE(Leftovers(folder), QStringList());
    const QString pdf = dir.filePath("no-hard-links.pdf");
    const Result single = Run(QStringList{"--pdf", pdf} + kVoucher, environment);
    QCOMPARE(single.status, 0);
    QCOMPARE(PdfPageCount(pdf), 2);
}

QTEST_GUILESS_MAIN(TestBatchSafety)
#include "TestBatchSafety.moc"
