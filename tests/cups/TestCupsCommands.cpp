// SPDX-License-Identifier: GPL-3.0-or-later
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "BatchFixture.h"
#include "CupsSpool.h"

using namespace batchtest;

namespace {

const QStringList kVoucher{
    "--cuit",    "20123456786",       "--mes",       "5", "--anio", "2026", "--remuneracion",
    "100000,50", "--establecimiento", "Taller Norte"};

struct Printed {
    int status;
    QString out;
    QString err;
};

Printed RunCommand(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(Environment());
    process.start(QStringLiteral(TALONARIO_BINARY), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString JobName(const QString& cuit, const QString& period, int copy) {
    return QStringLiteral("Talonario %1 %2 copia %3 (%4)")
        .arg(cuit, period)
        .arg(copy)
        .arg(copy == 1 ? QStringLiteral("banco") : QStringLiteral("depositante"));
}

// The queue's state, stopped or rejecting, undone when the test ends.
class QueueState {
  public:
    QueueState(const QString& queue, const QString& stop, QString start)
        : queue_(queue), start_(std::move(start)) {
        done_ = spool::Run(stop, {queue}).has_value();
    }
    ~QueueState() { spool::Run(start_, {queue_}); }
    bool done() const { return done_; }

  private:
    QString queue_;
    QString start_;
    bool done_ = false;
};

}  // namespace

// `--imprimir` and `--lote --imprimir` through the private CUPS server of
// with-cups.sh: jobs named per voucher, in row order, on the queue asked
// for; a printer that cannot print is exit status 3 and the rows marked.
class TestCupsCommands : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void printsOneVoucher_data();
    void printsOneVoucher();
    void printerThatCannotPrint_data();
    void printerThatCannotPrint();
    void batchPrintsInRowOrder();
    void stoppedQueueMarksTheBatchRows();

  private:
    QTemporaryDir dir;
    QString csv;
};

void TestCupsCommands::initTestCase() {
    QVERIFY2(!spool::First().name.isEmpty() && !spool::Second().name.isEmpty(),
             "run through tests/cups/with-cups.sh");
    QVERIFY(dir.isValid());
    // A refused row in the middle, and the slow first row's neighbours done
    // first by the other worker: the paper still comes out in row order.
    csv = dir.filePath("lote.csv");
    QVERIFY(Write(csv,
                  "cuit;mes;anio;remuneracion;establecimiento\r\n"
                  "20123456786;5;2026;100000,50;Primera\r\n"
                  "2012345;5;2026;100;Mala\r\n"
                  "27234567891;6;2026;1000;Tercera\r\n"
                  "30712345671;12;2025;2500;Cuarta\r\n"));
}

void TestCupsCommands::printsOneVoucher_data() {
    QTest::addColumn<QStringList>("printer");
    QTest::addColumn<bool>("second");
    QTest::newRow("the default printer") << QStringList() << false;
    QTest::newRow("a queue by its name")
        << QStringList{"--impresora", spool::Second().name} << true;
}

void TestCupsCommands::printsOneVoucher() {
    QFETCH(QStringList, printer);
    QFETCH(bool, second);
    const spool::Queue queue = second ? spool::Second() : spool::First();
    const spool::Queue other = second ? spool::First() : spool::Second();
    const qsizetype before = spool::Settled(queue).size();
    const qsizetype otherBefore = spool::Settled(other).size();
    const Printed run = RunCommand(QStringList{"--imprimir"} + printer + kVoucher);
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(run.out, QStringLiteral("52472012345678600150000\n"));
    const QStringList arrived = spool::Settled(queue, before + 2).mid(before);
    QCOMPARE(spool::Titles(arrived), (QStringList{JobName("20-12345678-6", "05/2026", 1),
                                                  JobName("20-12345678-6", "05/2026", 2)}));
    QCOMPARE(spool::Settled(other).size(), otherBefore);
}

void TestCupsCommands::printerThatCannotPrint_data() {
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("queue");
    QTest::addColumn<QString>("reason");
    const QString second = spool::Second().name;
    QTest::newRow("stopped") << "cupsdisable"
                             << "cupsenable" << second
                             << QStringLiteral("La impresora «%1» está detenida").arg(second);
    QTest::newRow("rejecting jobs")
        << "cupsreject"
        << "cupsaccept" << second << QStringLiteral("no acepta trabajos");
    QTest::newRow("not there") << QString() << QString() << "NoHayTal"
                               << "No existe la impresora «NoHayTal»";
}

void TestCupsCommands::printerThatCannotPrint() {
    QFETCH(QString, stop);
    QFETCH(QString, start);
    QFETCH(QString, queue);
    QFETCH(QString, reason);
    const qsizetype before = spool::Settled(spool::Second()).size();
    std::optional<QueueState> state;
    if (!stop.isEmpty()) {
        state.emplace(queue, stop, start);
        QVERIFY(state->done());
    }
    const Printed run = RunCommand(QStringList{"--imprimir", "--impresora", queue} + kVoucher);
    state.reset();
    QCOMPARE(run.status, 3);
    QVERIFY2(run.err.contains(reason), qPrintable(run.err));
    QVERIFY2(run.err.contains("Copia 1: "), qPrintable(run.err));
    QCOMPARE(run.out, QString());
    QCOMPARE(spool::Settled(spool::Second()).size(), before);
}

void TestCupsCommands::batchPrintsInRowOrder() {
    const spool::Queue queue = spool::First();
    const qsizetype before = spool::Settled(queue).size();
    const QString folder = dir.filePath("en-orden");
    const Result run = Run({"--lote", csv, "--carpeta", folder, "--trabajos", "2", "--imprimir"});
    QCOMPARE(run.status, 4);  // the refused row; everything else printed
    const QStringList arrived = spool::Settled(queue, before + 6).mid(before);
    QCOMPARE(spool::Titles(arrived),
             (QStringList{
                 JobName("20-12345678-6", "05/2026", 1), JobName("20-12345678-6", "05/2026", 2),
                 JobName("27-23456789-1", "06/2026", 1), JobName("27-23456789-1", "06/2026", 2),
                 JobName("30-71234567-1", "12/2025", 1), JobName("30-71234567-1", "12/2025", 2)}));
    // The files as without --imprimir, and the jobs in the report.
    const QHash<QString, QStringList> rows = Results(folder);
    for (const char* row : {"2", "4", "5"}) {
        QCOMPARE(rows.value(row).value(2), QStringLiteral("escrito"));
        QVERIFY(QFile::exists(QDir(folder).filePath(rows.value(row).value(0))));
        QVERIFY2(rows.value(row).value(3).contains(
                     QStringLiteral("impreso en %1 (trabajos ").arg(queue.name)),
                 qPrintable(rows.value(row).value(3)));
    }
    const int firstJob = spool::JobNumber(arrived[0]);
    QVERIFY2(rows.value("2").value(3).contains(
                 QStringLiteral("(trabajos %1, %2)").arg(firstJob).arg(firstJob + 1)),
             qPrintable(rows.value("2").value(3)));
    QCOMPARE(rows.value("3").value(2), QStringLiteral("rechazado"));
    QVERIFY2(run.err.contains("3 impresos, 0 sin imprimir"), qPrintable(run.err));
}

void TestCupsCommands::stoppedQueueMarksTheBatchRows() {
    const spool::Queue queue = spool::Second();
    const qsizetype before = spool::Settled(queue).size();
    const QString folder = dir.filePath("detenida");
    Result run{};
    {
        QueueState stopped(queue.name, "cupsdisable", "cupsenable");
        QVERIFY(stopped.done());
        run = Run({"--lote", csv, "--carpeta", folder, "--imprimir", "--impresora", queue.name});
    }
    QCOMPARE(run.status, 3);
    QVERIFY2(run.err.contains(QStringLiteral("La impresora «%1» está detenida").arg(queue.name)),
             qPrintable(run.err));
    QVERIFY2(run.err.contains("0 impresos, 3 sin imprimir"), qPrintable(run.err));
    const QHash<QString, QStringList> rows = Results(folder);
    for (const char* row : {"2", "4", "5"}) {
        QCOMPARE(rows.value(row).value(2), QStringLiteral("no impreso"));
        // The voucher was made all the same.
        QVERIFY(QFile::exists(QDir(folder).filePath(rows.value(row).value(0))));
    }
    QVERIFY(rows.value("2").value(3).contains("está detenida"));
    QVERIFY(rows.value("4").value(3).contains("la fila 2 no se pudo imprimir"));
    QCOMPARE(spool::Settled(queue).size(), before);

    // Run again once the queue works: the vouchers are there already, and
    // what did not print is printed now, in row order; a third run prints
    // nothing more.
    const Result again =
        Run({"--lote", csv, "--carpeta", folder, "--imprimir", "--impresora", queue.name});
    QVERIFY2(again.status == 4, qPrintable(again.err));
    const QStringList arrived = spool::Settled(queue, before + 6).mid(before);
    QCOMPARE(arrived.size(), 6);
    QCOMPARE(spool::Title(arrived[4]), JobName("30-71234567-1", "12/2025", 1));
    const QHash<QString, QStringList> second = Results(folder);
    for (const char* row : {"2", "4", "5"}) {
        QCOMPARE(second.value(row).value(2), QStringLiteral("ya estaba"));
        QCOMPARE(second.value(row).value(0), rows.value(row).value(0));
        QVERIFY2(second.value(row).value(3).contains("impreso en " + queue.name),
                 qPrintable(second.value(row).value(3)));
    }
    const Result third =
        Run({"--lote", csv, "--carpeta", folder, "--imprimir", "--impresora", queue.name});
    QCOMPARE(third.status, 4);
    QVERIFY2(third.err.contains("0 impresos, 0 sin imprimir"), qPrintable(third.err));
    QCOMPARE(Results(folder).value("2").value(3), QStringLiteral("no se imprime de nuevo"));
    QCOMPARE(spool::Settled(queue).size(), before + 6);
}

QTEST_MAIN(TestCupsCommands)
#include "TestCupsCommands.moc"
