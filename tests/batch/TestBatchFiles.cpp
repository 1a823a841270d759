#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "batch/FileNames.h"
#include "batch/Progress.h"

// File naming without overwriting, and the progress line's arithmetic.
class TestBatchFiles : public QObject {
    Q_OBJECT
  private slots:
    void numberedNames_data();
    void numberedNames();
    void claimNeverOverwrites();
    void claimInMissingFolderFails();
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

void TestBatchFiles::claimNeverOverwrites() {
    QTemporaryDir dir;
    const auto write = [&dir](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write("v.pdf", "first");
    write("v (2).pdf", "second");
    write(".tmp", "third");
    QCOMPARE(batch::ClaimName(dir.filePath(".tmp"), dir.path(), "v.pdf"), QString("v (3).pdf"));
    QVERIFY(!QFile::exists(dir.filePath(".tmp")));
    for (const auto& [name, bytes] :
         {std::pair{"v.pdf", "first"}, {"v (2).pdf", "second"}, {"v (3).pdf", "third"}}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray(bytes));
    }
}

void TestBatchFiles::claimInMissingFolderFails() {
    QTemporaryDir dir;
    QFile file(dir.filePath(".tmp"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(batch::ClaimName(file.fileName(), dir.filePath("missing"), "v.pdf").isEmpty());
    QVERIFY(QFile::exists(file.fileName()));  // nothing lost
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
