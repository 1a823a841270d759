#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

// File names kept byte for byte, messages kept printable, files written safely.
class TestFiles : public QObject {
    Q_OBJECT
  private slots:
    void namesKeepTheirBytes_data();
    void namesKeepTheirBytes();
    void printable_data();
    void printable();
    void writesAndReplaces();
    void lockExcludesAnotherHolder();
};

void TestFiles::namesKeepTheirBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("ASCII") << QByteArray("v.pdf") << "v.pdf";
    QTest::newRow("UTF-8 accent") << QByteArray("caf\xc3\xa9") << QString::fromUtf8("café");
    QTest::newRow("UTF-8 emoji, four bytes")
        << QByteArray("\xf0\x9f\x98\x80") << QString::fromUtf8("\xf0\x9f\x98\x80");
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xe9") << QStringView(u"caf\xdce9").toString();
    QTest::newRow("overlong slash is no slash")
        << QByteArray("\xc0\xaf") << QStringView(u"\xdcc0\xdcaf").toString();
    QTest::newRow("encoded surrogate is not a character")
        << QByteArray("\xed\xa0\x80") << QStringView(u"\xdced\xdca0\xdc80").toString();
    QTest::newRow("truncated sequence at the end")
        << QByteArray("a\xe2\x82") << QStringView(u"a\xdce2\xdc82").toString();
    QTest::newRow("beyond U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80") << QStringView(u"\xdcf4\xdc90\xdc80\xdc80").toString();
}

void TestFiles::namesKeepTheirBytes() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);
    QCOMPARE(platform::DecodeName(bytes), decoded);
    QCOMPARE(platform::EncodeName(decoded), bytes);
}

void TestFiles::printable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "Taller Norte"
                           << "Taller Norte";
    QTest::newRow("tab and line break") << "a\tb\nc"
                                        << "a\\tb\\nc";
    QTest::newRow("escape and delete") << "\x1b[2J\x7f"
                                       << "\\x1B[2J\\x7F";
    QTest::newRow("C1 control") << QStringView(u"a\x0085").toString() << "a\\x85";
    QTest::newRow("emoji shown whole")
        << QString::fromUtf8("\xf0\x9f\x98\x80") << QString::fromUtf8("\xf0\x9f\x98\x80");
    QTest::newRow("byte kept from a name") << QStringView(u"caf\xdce9").toString() << "caf\\xE9";
    QTest::newRow("lone surrogate") << QStringView(u"a\xd800").toString() << "a\\uD800";
}

void TestFiles::printable() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(platform::Printable(text), shown);
}

void TestFiles::writesAndReplaces() {
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath("v.bin"));
    QCOMPARE(platform::WriteFileSafely(name, "one"), QString());
    QVERIFY(::chmod(name.constData(), 0640) == 0);
    QCOMPARE(platform::WriteFileSafely(name, "two"), QString());
    QFile file(dir.filePath("v.bin"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("two"));
    struct stat info {};
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), 0640);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"v.bin"});
    QCOMPARE(platform::WriteFileSafely(QFile::encodeName(dir.filePath("no/v.bin")), "x"),
             QStringLiteral("la carpeta no existe"));
    QCOMPARE(platform::WriteFileSafely(QFile::encodeName(dir.path()), "x"),
             QStringLiteral("es una carpeta"));
}

void TestFiles::lockExcludesAnotherHolder() {
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath("picCode.bmp.lock"));
    {
        platform::FileLock first(name);
        QVERIFY(first.TryLock(0));
        platform::FileLock second(name);  // another open file: as another process
        QVERIFY(!second.TryLock(20));
    }
    QVERIFY2(!QFile::exists(dir.filePath("picCode.bmp.lock")), "the lock file stays after release");
    platform::FileLock again(name);
    QVERIFY(again.TryLock(0));
    // A link planted where the lock goes is never followed.
    const QByteArray link = QFile::encodeName(dir.filePath("link.lock"));
    QVERIFY(::symlink(QFile::encodeName(dir.filePath("elsewhere")).constData(), link.constData()) ==
            0);
    platform::FileLock planted(link);
    QVERIFY(!planted.TryLock(0));
    QVERIFY(!QFile::exists(dir.filePath("elsewhere")));
}

QTEST_GUILESS_MAIN(TestFiles)
#include "TestFiles.moc"
