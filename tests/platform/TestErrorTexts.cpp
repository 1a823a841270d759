// SPDX-License-Identifier: GPL-3.0-or-later
// What the user is told when a file operation really fails: each case is
// made on disk and the program's own writer, reader or folder opener meets it.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "platform/ErrorTexts.h"
#include "platform/Files.h"
#include "platform/Folder.h"
#include "platform/Input.h"
#include "platform/SafeFile.h"

namespace {

constexpr qint64 kMaxInput = 64LL * 1024 * 1024;

// Runs `operation` in a child process that root leaves as nobody, so that
// permissions refuse it whoever runs the test; what it says comes back.
QString Unprivileged(const std::function<QString()>& operation) {
    int ends[2];
    if (::pipe(ends) != 0) {
        return QStringLiteral("(no pipe)");
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(2);
        }
        const QByteArray said = operation().toUtf8();
        (void)!::write(ends[1], said.constData(), std::size_t(said.size()));
        ::_exit(0);
    }
    ::close(ends[1]);
    QByteArray said;
    char buffer[512];
    for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) {
        said.append(buffer, n);
    }
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? QString::fromUtf8(said)
                                                         : QStringLiteral("(child failed)");
}

}  // namespace

class TestErrorTexts : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void realFailures_data();
    void realFailures();
    void cupsRefusals_data();
    void cupsRefusals();

  private:
    QTemporaryDir dir;
};

void TestErrorTexts::initTestCase() {
    QVERIFY(dir.isValid());
    // Nobody must reach into it (see Unprivileged).
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const auto name = [this](const char* base) { return QFile::encodeName(dir.filePath(base)); };
    const auto file = [&name](const char* base, mode_t mode) {
        const int fd = ::open(name(base).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "keep", 4), ssize_t(4));
        QCOMPARE(::fchmod(fd, mode), 0);
        QCOMPARE(::close(fd), 0);
    };
    file("readonly.pdf", 0444);
    file("group-only.pdf", 0070);
    file("unreadable.csv", 0200);
    file("file.txt", 0644);
    QCOMPARE(::mkdir(name("folder").constData(), 0755), 0);
    QCOMPARE(::mkdir(name("read-only-folder").constData(), 0555), 0);
    QCOMPARE(::mkdir(name("closed-folder").constData(), 0), 0);
    QCOMPARE(::mkfifo(name("pipe").constData(), 0644), 0);
    QCOMPARE(::symlink("nothing", name("dangling").constData()), 0);
    QCOMPARE(::symlink("loop-b", name("loop-a").constData()), 0);
    QCOMPARE(::symlink("loop-a", name("loop-b").constData()), 0);
    file("large.csv", 0644);
    QCOMPARE(::truncate(name("large.csv").constData(), kMaxInput + 1), 0);
}

void TestErrorTexts::realFailures_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("name");  // in the test's folder, unless absolute
    QTest::addColumn<bool>("unprivileged");
    QTest::addColumn<QString>("told");

    const QString write = QStringLiteral("write");
    QTest::newRow("writing a read-only file")
        << write << "readonly.pdf" << false << "el archivo es de solo lectura";
    QTest::newRow("writing a file only its group may write")
        << write << "group-only.pdf" << true << "no tiene permiso para escribirlo";
    QTest::newRow("writing into a read-only folder")
        << write << "read-only-folder/v.pdf" << true
        << "no tiene permiso para escribir en la carpeta";
    QTest::newRow("writing into a folder that may not be entered")
        << write << "closed-folder/v.pdf" << true << "no tiene permiso para entrar en la carpeta";
    QTest::newRow("writing a name in a missing folder")
        << write << "missing/v.pdf" << false << "la carpeta no existe";
    QTest::newRow("writing a path through a file")
        << write << "file.txt/v.pdf" << false << "una parte de la ruta no es una carpeta";
    QTest::newRow("writing over a folder") << write << "folder" << false << "es una carpeta";
    QTest::newRow("writing the full device")
        << write << "/dev/full" << false << "el disco está lleno";
    QTest::newRow("writing a pipe nobody reads")
        << write << "pipe" << false << "es una tubería que nadie está leyendo";
    QTest::newRow("writing through a link to nothing")
        << write << "dangling" << false << "es un enlace a un archivo que no existe";
    QTest::newRow("writing through links in a loop")
        << write << "loop-a" << false << "demasiados enlaces simbólicos encadenados";
    QTest::newRow("writing a name too long")
        << write << QString(300, u'x') + ".pdf" << false << "el nombre es demasiado largo";

    const QString read = QStringLiteral("read");
    QTest::newRow("reading an unreadable file")
        << read << "unreadable.csv" << true << "no tiene permiso";
    QTest::newRow("reading a missing file")
        << read << "missing.csv" << false << "no existe el archivo o la carpeta";
    QTest::newRow("reading a folder") << read << "folder" << false << "es una carpeta";
    QTest::newRow("reading a pipe") << read << "pipe" << false << "no es un archivo común";
    QTest::newRow("reading a file too large")
        << read << "large.csv" << false << "ocupa más de 64 MB";
    QTest::newRow("reading a path through a file")
        << read << "file.txt/a.csv" << false << "una parte de la ruta no es una carpeta";

    const QString open = QStringLiteral("open folder");
    const QString make = QStringLiteral("make folder");
    QTest::newRow("opening a missing folder")
        << open << "missing" << false << "la carpeta no existe";
    QTest::newRow("opening a folder that may not be entered")
        << open << "closed-folder" << true << "no tiene permiso para entrar en la carpeta";
    QTest::newRow("making a folder inside a read-only one")
        << make << "read-only-folder/new" << true << "no tiene permiso para crear la carpeta";
    QTest::newRow("making a folder where a file is")
        << make << "file.txt" << false << "una parte de la ruta no es una carpeta";
    QTest::newRow("making a folder under a file")
        << make << "file.txt/new" << false << "una parte de la ruta no es una carpeta";
}

void TestErrorTexts::realFailures() {
    QFETCH(QString, operation);
    QFETCH(QString, name);
    QFETCH(bool, unprivileged);
    QFETCH(QString, told);
    const QByteArray path = platform::EncodeName(name.startsWith(u'/') ? name : dir.filePath(name));
    const std::function<QString()> attempt = [&operation, &path] {
        if (operation == QStringLiteral("write")) {
            return platform::WriteFileSafely(path, "new");
        }
        if (operation == QStringLiteral("read")) {
            QString why;
            struct stat info {};
            const int fd = platform::OpenInput(AT_FDCWD, path, kMaxInput, why, info);
            if (fd >= 0) {
                ::close(fd);
            }
            return why;
        }
        platform::Folder folder;
        return folder.Open(path, operation == QStringLiteral("make folder"));
    };
    QCOMPARE(unprivileged ? Unprivileged(attempt) : attempt(), told);
    // Nothing refused was changed.
    QFile kept(dir.filePath(QStringLiteral("readonly.pdf")));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep"));
}

void TestErrorTexts::cupsRefusals_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("spanish");

    QTest::newRow("the queue's name is taken from CUPS's quotes")
        << 0x0506 << "Destination \"VoucherPDF\" is not accepting jobs."
        << "la impresora «VoucherPDF» no acepta trabajos";
    QTest::newRow("no name in the message: none in the text") << 0x0506 << ""
                                                              << "la impresora no acepta trabajos";
    QTest::newRow("an English reason is dropped, never shown")
        << 0x0500 << "No such file or directory"
        << "falló el servidor de impresión";
    QTest::newRow("an unknown status: its number, in Spanish")
        << 0x0999 << "Something new"
        << "el servidor de impresión devolvió el error 0x0999";
}

void TestErrorTexts::cupsRefusals() {
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QString, spanish);

    QCOMPARE(platform::CupsRefusalText(status, message), spanish);
}

QTEST_APPLESS_MAIN(TestErrorTexts)
#include "TestErrorTexts.moc"
