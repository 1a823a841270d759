// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include "batch/FileNames.h"
#include "batch/Progress.h"

// Numbered file names found in few probes, and the progress line's arithmetic.
class TestBatchFiles : public QObject {
    Q_OBJECT
  private slots:
    void numberedNames_data();
    void numberedNames();
    void firstFree_data();
    void firstFree();
    void progress_data();
    void progress();
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

QTEST_APPLESS_MAIN(TestBatchFiles)
#include "TestBatchFiles.moc"
