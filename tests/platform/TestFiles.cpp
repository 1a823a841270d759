// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

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
    void targets_data();
    void targets();
    void modes();
    void inPlaceTargets();
    void newNames_data();
    void newNames();
    void heldFolderSwappedMidRun();
    void leftoversOfDeadWritersRemoved();
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

namespace {

QByteArray Name(const QTemporaryDir& dir, const char* name) {
    return QFile::encodeName(dir.filePath(QString::fromUtf8(name)));
}

QByteArray Read(const QByteArray& name) {
    QFile file(QFile::decodeName(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

QStringList Entries(const QTemporaryDir& dir) {
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

}  // namespace

// What lies at the name decides what the writer does with it.
void TestFiles::targets_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");         // empty: written
    QTest::addColumn<QByteArray>("afterwards");  // what reading the name gives then
    QTest::newRow("new name") << ""
                              << "" << QByteArray("new");
    QTest::newRow("a plain file is replaced") << "file"
                                              << "" << QByteArray("new");
    QTest::newRow("a file nobody may write is kept")
        << "file 0444"
        << "el archivo es de solo lectura" << QByteArray("old");
    QTest::newRow("a folder is refused") << "folder"
                                         << "es una carpeta" << QByteArray("<unreadable>");
    QTest::newRow("a missing folder on the way")
        << "missing folder"
        << "la carpeta no existe" << QByteArray("<unreadable>");
    QTest::newRow("a file as a folder on the way")
        << "file as folder"
        << "una parte de la ruta no es una carpeta" << QByteArray("<unreadable>");
    QTest::newRow("own link: the file it points to is replaced, the link kept")
        << "own link"
        << "" << QByteArray("new");
    QTest::newRow("dangling link refused")
        << "dangling link"
        << "es un enlace a un archivo que no existe" << QByteArray("<unreadable>");
    QTest::newRow("pipe nobody reads: refused at once, never waited on")
        << "fifo"
        << "es una tubería que nadie está leyendo" << QByteArray();
}

void TestFiles::targets() {
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QByteArray name = Name(dir, "v.pdf");
    if (setup.startsWith("file")) {
        QCOMPARE(platform::WriteFileSafely(Name(dir, "v.pdf"), "old"), QString());
    }
    if (setup == "file 0444") {
        QCOMPARE(::chmod(name.constData(), 0444), 0);
    } else if (setup == "folder") {
        QVERIFY(QDir(dir.path()).mkdir("v.pdf"));
    } else if (setup == "missing folder") {
        name = Name(dir, "no/v.pdf");
    } else if (setup == "file as folder") {
        name = Name(dir, "v.pdf/w.pdf");
    } else if (setup == "own link") {
        QCOMPARE(platform::WriteFileSafely(Name(dir, "elsewhere.pdf"), "old"), QString());
        QCOMPARE(::symlink("elsewhere.pdf", name.constData()), 0);
    } else if (setup == "dangling link") {
        QCOMPARE(::symlink("nothing.pdf", name.constData()), 0);
    } else if (setup == "fifo") {
        QCOMPARE(::mkfifo(name.constData(), 0600), 0);
    }
    QCOMPARE(platform::WriteFileSafely(name, "new"), reason);
    if (setup != "fifo") {
        QTEST(Read(name), "afterwards");
    }
    if (setup == "own link") {
        QVERIFY(QFileInfo(QFile::decodeName(name)).isSymLink());
        QCOMPARE(Read(Name(dir, "elsewhere.pdf")), QByteArray("new"));
    }
    for (const QString& entry : Entries(dir)) {
        QVERIFY2(!entry.startsWith(u'.'), qPrintable(entry));  // no temporary file left
    }
}

void TestFiles::modes() {
    QTemporaryDir dir;
    const QByteArray name = Name(dir, "v.bin");
    const mode_t previous = ::umask(077);
    QCOMPARE(platform::WriteFileSafely(name, "one"), QString());
    ::umask(previous);
    struct stat info {};
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), 0600);  // the umask honoured
    QCOMPARE(::chmod(name.constData(), 0640), 0);
    QCOMPARE(platform::WriteFileSafely(name, "two"), QString());
    QCOMPARE(::stat(name.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), 0640);  // a replaced file keeps its mode
    QCOMPARE(Read(name), QByteArray("two"));
}

void TestFiles::inPlaceTargets() {
    // A character device is written, never replaced.
    QCOMPARE(platform::WriteFileSafely("/dev/null", "x"), QString());
    struct stat info {};
    QCOMPARE(::stat("/dev/null", &info), 0);
    QVERIFY(S_ISCHR(info.st_mode));
    // A pipe with a reader gets the data.
    QTemporaryDir dir;
    const QByteArray fifo = Name(dir, "pipe");
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QCOMPARE(platform::WriteFileSafely(fifo, "through"), QString());
    char buffer[16] = {};
    QCOMPARE(::read(reader, buffer, sizeof buffer), ssize_t(7));
    QCOMPARE(QByteArray(buffer), QByteArray("through"));
    ::close(reader);
}

// Names claimed for new files never replace anything, with or without hard links.
void TestFiles::newNames_data() {
    QTest::addColumn<int>("linkError");
    QTest::newRow("renameat2 and hard links") << 0;
    QTest::newRow("no hard links (FAT, exFAT): EPERM") << int(EPERM);
    QTest::newRow("no hard links: EOPNOTSUPP") << int(EOPNOTSUPP);
}

void TestFiles::newNames() {
    QFETCH(int, linkError);
    platform::SimulateNoHardLinks(linkError);
    QTemporaryDir dir;
    QCOMPARE(platform::WriteFileSafely(Name(dir, "v.pdf"), "first"), QString());
    platform::Folder folder;
    QCOMPARE(folder.Open(QFile::encodeName(dir.path())), QString());
    platform::SafeFile file;
    QCOMPARE(file.OpenTemporary(folder), QString());
    file.write("second");
    bool taken = false;
    QCOMPARE(file.FinishAsNew("v.pdf", &taken), QString());
    QVERIFY(taken);
    QCOMPARE(file.FinishAsNew("v (2).pdf", &taken), QString());
    QVERIFY(!taken);
    platform::SimulateNoHardLinks(0);
    QCOMPARE(Read(Name(dir, "v.pdf")), QByteArray("first"));
    QCOMPARE(Read(Name(dir, "v (2).pdf")), QByteArray("second"));
    QCOMPARE(Entries(dir), (QStringList{"v (2).pdf", "v.pdf"}));
}

// Once the folder is held, renaming it or putting a link in its place
// changes nothing of where the file goes.
void TestFiles::heldFolderSwappedMidRun() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("out"));
    QVERIFY(QDir(dir.path()).mkdir("elsewhere"));
    platform::Folder folder;
    QCOMPARE(folder.Open(Name(dir, "out")), QString());
    platform::SafeFile file;
    QCOMPARE(file.OpenTemporary(folder), QString());
    file.write("data");
    QCOMPARE(::rename(Name(dir, "out").constData(), Name(dir, "moved").constData()), 0);
    QCOMPARE(::symlink("elsewhere", Name(dir, "out").constData()), 0);
    bool taken = false;
    QCOMPARE(file.FinishAsNew("v.pdf", &taken), QString());
    QCOMPARE(Read(Name(dir, "moved/v.pdf")), QByteArray("data"));
    QVERIFY(QDir(dir.filePath("elsewhere")).isEmpty());
}

// A writer killed mid-file leaves its temporary file; the next run in the
// folder removes it, but never one whose writer is still alive.
void TestFiles::leftoversOfDeadWritersRemoved() {
    QTemporaryDir dir;
    platform::Folder folder;
    QCOMPARE(folder.Open(QFile::encodeName(dir.path())), QString());
    platform::SafeFile alive;
    QCOMPARE(alive.OpenTemporary(folder), QString());
    const QByteArray dead = Name(dir, ".talonario-00112233445566ff.part");
    QCOMPARE(platform::WriteFileSafely(dead, "half"), QString());
    const QByteArray planted = Name(dir, ".talonario-ffeeddccbbaa0099.part");
    QCOMPARE(::symlink("/etc/hostname", planted.constData()), 0);
    const timespec old[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 60, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, dead.constData(), old, 0), 0);
    QCOMPARE(Entries(dir).size(), 3);
    // The living writer's file is young too: made old, it still stays, as it is locked.
    for (const QString& entry : Entries(dir)) {
        ::utimensat(AT_FDCWD, Name(dir, entry.toUtf8().constData()).constData(), old,
                    AT_SYMLINK_NOFOLLOW);
    }
    platform::RemoveLeftovers(folder);
    QCOMPARE(Entries(dir).size(), 1);
    alive.write("x");
    bool taken = false;
    QCOMPARE(alive.FinishAsNew("v.pdf", &taken), QString());
    QCOMPARE(Entries(dir), QStringList{"v.pdf"});
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
