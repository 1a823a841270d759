// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "batch/FileNames.h"
#include "batch/Progress.h"
#include "batch/Report.h"

// Numbered file names found in few probes, the progress line's arithmetic,
// and which vouchers earlier reports say still wait to be printed.
class TestBatchFiles : public QObject {
    Q_OBJECT
  private slots:
    void numberedNames_data();
    void numberedNames();
    void firstFree_data();
    void firstFree();
    void progress_data();
    void progress();
    void unprintedEarlier_data();
    void unprintedEarlier();
};

void TestBatchFiles::numberedNames_data() {
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<int>("attempt");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first attempt is the name") << "a-1.pdf" << 1 << "a-1.pdf";
    QTest::newRow("second gets (2) before the extension") << "a-1.pdf" << 2 << "a-1 (2).pdf";
    QTest::newRow("no extension") << "lote" << 3 << "lote (3)";
}

void TestBatchFiles::numberedNames() {
    QFETCH(QString, proposed);
    QFETCH(int, attempt);
    QTEST(batch::NumberedName(proposed, attempt), "expected");
}

void TestBatchFiles::firstFree_data() {
    QTest::addColumn<int>("takenUpTo");    // 1..takenUpTo are taken
    QTest::addColumn<QList<int>>("gaps");  // ...but these
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("maxProbes");
    QTest::newRow("nothing taken: the name itself") << 0 << QList<int>{} << 1 << 1 << 1;
    QTest::newRow("the name taken: (2)") << 1 << QList<int>{} << 1 << 2 << 3;
    QTest::newRow("five taken: (6)") << 5 << QList<int>{} << 1 << 6 << 8;
    QTest::newRow("100000 taken, a few dozen probes")
        << 100000 << QList<int>{} << 1 << 100001 << 40;
    QTest::newRow("a run remembered: starts past it") << 70 << QList<int>{} << 60 << 71 << 12;
    QTest::newRow("a free number under the start is not looked for")
        << 10 << QList<int>{3} << 5 << 11 << 10;
    QTest::newRow("a gap in the run: some free number") << 40 << QList<int>{20} << 1 << -1 << 20;
}

void TestBatchFiles::firstFree() {
    QFETCH(int, takenUpTo);
    QFETCH(QList<int>, gaps);
    QFETCH(int, from);
    QFETCH(int, expected);
    QFETCH(int, maxProbes);
    int probes = 0;
    const auto taken = [&](int attempt) {
        ++probes;
        return attempt <= takenUpTo && !gaps.contains(attempt);
    };
    const int found = batch::FirstFree(taken, from);
    QVERIFY2(!taken(found), "the number given is taken");
    --probes;
    QVERIFY(found >= from);
    if (expected > 0) {
        QCOMPARE(found, expected);
    }
    QVERIFY2(probes <= maxProbes, qPrintable(QString::number(probes)));
}

void TestBatchFiles::progress_data() {
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a quarter at 10 a second")
        << 25 << 100 << 2.5 << 50 << "[#####...............] 25/100  10,0/s  quedan 0:08";
    QTest::newRow("nothing done yet: time left unknown")
        << 0 << 100 << 0.0 << 40 << "[...............] 0/100  0,0/s  quedan ?";
    QTest::newRow("done") << 4 << 4 << 2.0 << 34 << "[########] 4/4  2,0/s  quedan 0:00";
    QTest::newRow("hours, no room for a bar")
        << 1 << 10001 << 1.0 << 31 << " 1/10001  1,0/s  quedan 2:46:40";
}

void TestBatchFiles::progress() {
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(double, elapsed);
    QFETCH(int, width);
    QTEST(batch::ProgressBar(done, total, elapsed, width), "expected");
}

namespace {
// A report of one row for the same voucher: its state and its message.
QByteArray OneRowReport(const QString& state, const QString& message) {
    batch::ReportRow row;
    row.number = 2;
    row.file = QStringLiteral("comprobante-20123456786-2026-05.pdf");
    row.code = QStringLiteral("52472012345678600150000");
    row.state = state;
    row.message = message;
    row.figures = {"20123456786", "Taller", "05/2026", "100000,50",
                   "1500,00",     "0,00",   "0,00",    "1500,00"};
    return batch::ReportHeader(';') + "\r\n" + batch::ReportLine(row, ';') + "\r\n";
}
}  // namespace

void TestBatchFiles::unprintedEarlier_data() {
    QTest::addColumn<QStringList>("reports");  // "state|message", one report each
    QTest::addColumn<bool>("unprinted");
    QTest::addColumn<bool>("there");
    QTest::newRow("not printed: printed by the next run")
        << QStringList{"no impreso|Copia 1: La impresora «A» está detenida"} << true << true;
    QTest::newRow("printed: not again")
        << QStringList{"escrito|impreso en A (trabajos 3, 4)"} << false << true;
    QTest::newRow("written without printing: not printed by a rerun")
        << QStringList{"escrito|"} << false << true;
    QTest::newRow("not printed, then printed by a later run, whichever report is read first")
        << QStringList{"ya estaba|impreso en A (trabajos 9, 10)", "no impreso|detenida"} << false
        << true;
    QTest::newRow("refused: nothing there") << QStringList{"rechazado|mal"} << false << false;
}

void TestBatchFiles::unprintedEarlier() {
    QFETCH(QStringList, reports);
    QFETCH(bool, unprinted);
    QFETCH(bool, there);
    batch::EarlierRecords earlier;
    for (const QString& report : reports) {
        earlier.Add(OneRowReport(report.section(u'|', 0, 0), report.section(u'|', 1)));
    }
    const batch::VoucherFigures figures{"20123456786", "Taller", "05/2026", "100000,50",
                                        "1500,00",     "0,00",   "0,00",    "1500,00"};
    const QByteArray key = batch::VoucherKey(figures, QStringLiteral("52472012345678600150000"));
    QCOMPARE(earlier.Unprinted(key), unprinted);
    QCOMPARE(earlier.File(key).has_value(), there);
}

QTEST_APPLESS_MAIN(TestBatchFiles)
#include "TestBatchFiles.moc"
