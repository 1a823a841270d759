// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/QtPlatform.h"

// The real platform's files and dialogs, on the offscreen platform.
class TestQtPlatform : public QObject {
    Q_OBJECT
  private slots:
    void temporaryFolderIsPrivate_data();
    void temporaryFolderIsPrivate();
    void saveDialogAsksAboutTheNameWritten();
    void saveDialogAddsTheSuffix();
    void saveFolderExists_data();
    void saveFolderExists();
    void saveDialogOpensInAFolderThatExists();
};

namespace {

struct stat StatOf(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

// Answers the file dialog with `name`; when the overwrite question comes,
// records it and says No, then closes the dialog.
void AnswerSaveDialog(const QString& name, QString& question) {
    // Whatever goes wrong, no dialog outlives ten seconds.
    QTimer::singleShot(10000, [] {
        for (int i = 0; i < 3; ++i) {
            if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                open->reject();
            }
        }
    });
    QTimer::singleShot(0, [name, &question] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
        // Run only while the dialog lives: once it has closed, this must not
        // reach into the next test's dialog or this test's finished frame.
        QTimer::singleShot(0, dialog, [dialog, &question] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question = box->text();
                box->button(QMessageBox::No)->click();
            }
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// HOME and the user's folder settings for one test, put back afterwards.
class UserFolders {
  public:
    // `documents` is the documents folder as user-dirs.dirs names it ("" for
    // no such file), relative to the home folder.
    UserFolders(const QString& home, const QString& documents)
        : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        if (!documents.isEmpty()) {
            QFile dirs(config_.filePath(QStringLiteral("user-dirs.dirs")));
            if (dirs.open(QIODevice::WriteOnly)) {
                dirs.write("XDG_DOCUMENTS_DIR=\"$HOME/" + QFile::encodeName(documents) + "\"\n");
            }
        }
    }
    ~UserFolders() {
        qputenv("HOME", oldHome_);
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    }
    UserFolders(const UserFolders&) = delete;
    UserFolders& operator=(const UserFolders&) = delete;

  private:
    QByteArray oldHome_;
    QByteArray oldConfig_;
    QTemporaryDir config_;
};

}  // namespace

void TestQtPlatform::temporaryFolderIsPrivate_data() {
    QTest::addColumn<bool>("runtimeDir");
    QTest::addColumn<QString>("planted");  // what already holds the shared name
    QTest::newRow("runtime dir") << true << "";
    QTest::newRow("no runtime dir: subfolder of the temporary folder") << false << "";
    QTest::newRow("name taken by a link") << false << "link";
    QTest::newRow("name taken by another user's folder") << false << "foreign";
    QTest::newRow("own folder left open is closed") << false << "open";
}

void TestQtPlatform::temporaryFolderIsPrivate() {
    QFETCH(bool, runtimeDir);
    QFETCH(QString, planted);
    if (planted == "foreign" && ::geteuid() != 0) {
        QSKIP("planting another user's folder needs root");
    }
    QTemporaryDir runtime;
    QTemporaryDir shared;
    const QString sharedName = shared.filePath(QStringLiteral("talonario-%1").arg(::geteuid()));
    if (planted == "link") {
        QVERIFY(QFile::link(runtime.path(), sharedName));
    } else if (planted == "foreign") {
        QVERIFY(QDir().mkdir(sharedName));
        QCOMPARE(::chown(QFile::encodeName(sharedName).constData(), 65534, 65534), 0);
    } else if (planted == "open") {
        QVERIFY(QDir().mkdir(sharedName));
        QCOMPARE(::chmod(QFile::encodeName(sharedName).constData(), 0777), 0);
    }
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldTemporary = qgetenv("TMPDIR");
    if (runtimeDir) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    } else {
        qunsetenv("XDG_RUNTIME_DIR");
    }
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    QString folder;
    {
        platform::QtPlatform platform;
        folder = platform.TemporaryFolder();
        QCOMPARE(platform.TemporaryFolder(), folder);
        const struct stat info = StatOf(folder);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(int(info.st_mode & 0777), 0700);
        QCOMPARE(info.st_uid, ::geteuid());
    }
    qputenv("XDG_RUNTIME_DIR", oldRuntime);
    qputenv("TMPDIR", oldTemporary);
    if (runtimeDir) {
        QCOMPARE(folder, runtime.filePath("talonario"));
    } else if (planted.isEmpty() || planted == "open") {
        QCOMPARE(folder, sharedName);
    } else {
        QVERIFY(folder != sharedName);
        QVERIFY(folder.startsWith(shared.path()));
    }
}

void TestQtPlatform::saveDialogAsksAboutTheNameWritten() {
    QTemporaryDir dir;
    QFile existing(dir.filePath("dup.pdf"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    platform::QtPlatform platform;
    QString question;
    AnswerSaveDialog(QStringLiteral("dup"), question);
    const QString chosen =
        platform.AskSaveFileName(nullptr, QStringLiteral("Guardar"), dir.filePath("propuesto.pdf"),
                                 QStringLiteral("Documentos PDF (*.pdf)"));
    QVERIFY2(question.contains("dup.pdf"), qPrintable(question));
    QCOMPARE(chosen, QString());
}

void TestQtPlatform::saveDialogAddsTheSuffix() {
    QTemporaryDir dir;
    platform::QtPlatform platform;
    QString question;
    AnswerSaveDialog(QStringLiteral("nuevo"), question);
    const QString chosen =
        platform.AskSaveFileName(nullptr, QStringLiteral("Guardar"), dir.filePath("propuesto.pdf"),
                                 QStringLiteral("Documentos PDF (*.pdf)"));
    QCOMPARE(question, QString());
    QCOMPARE(chosen, dir.filePath("nuevo.pdf"));
}

void TestQtPlatform::saveFolderExists_data() {
    QTest::addColumn<QStringList>("folders");  // made under the home folder
    QTest::addColumn<QString>("documents");    // as user-dirs.dirs names it, "" for none
    QTest::addColumn<QString>("proposed");     // "HOME/" stands for the home folder
    QTest::addColumn<QString>("expected");     // "HOME/" likewise, "CWD/" the current folder
    const QString name = QStringLiteral("comprobante-20123456786-2026-05.pdf");
    QTest::newRow("Documents there: proposed in it")
        << QStringList{"Documents"} << QString() << name << "HOME/Documents/" + name;
    QTest::newRow("no Documents folder: the home folder")
        << QStringList{} << QString() << name << "HOME/" + name;
    QTest::newRow("documents folder set elsewhere and there")
        << QStringList{"Documentos", "Documents"} << "Documentos" << name
        << "HOME/Documentos/" + name;
    QTest::newRow("documents folder set to one that is not there: the home folder")
        << QStringList{"Documents"} << "Papeles" << name << "HOME/" + name;
    QTest::newRow("no home folder either: the current folder")
        << QStringList{"-"} << QString() << name << "CWD/" + name;
    QTest::newRow("a full path in a folder that is there stays")
        << QStringList{"Documents", "pdf"} << QString() << "HOME/pdf/" + name << "HOME/pdf/" + name;
    QTest::newRow("a full path in a folder that is gone: its name in Documents")
        << QStringList{"Documents"} << QString() << "HOME/borrada/" + name
        << "HOME/Documents/" + name;
}

void TestQtPlatform::saveFolderExists() {
    QFETCH(QStringList, folders);
    QFETCH(QString, documents);
    QFETCH(QString, proposed);
    QFETCH(QString, expected);
    QTemporaryDir root;
    // "-" stands for a home folder that does not exist.
    const QString home = root.filePath(folders.contains("-") ? "nadie" : "usuario");
    if (!folders.contains("-")) {
        QVERIFY(QDir().mkpath(home));
    }
    for (const QString& folder : folders) {
        if (folder != "-") {
            QVERIFY(QDir(home).mkpath(folder));
        }
    }
    const UserFolders user(home, documents);
    const auto resolve = [&home](QString path) {
        path.replace(QStringLiteral("HOME/"), home + u'/');
        path.replace(QStringLiteral("CWD/"), QDir::currentPath() + u'/');
        return path;
    };
    const QString start = platform::ProposedSavePath(resolve(proposed));
    QCOMPARE(start, resolve(expected));
    QVERIFY(QFileInfo(start).isAbsolute());
    QVERIFY(QFileInfo(QFileInfo(start).absolutePath()).isDir());
}

void TestQtPlatform::saveDialogOpensInAFolderThatExists() {
    // A user with no Documents folder who takes what the dialog proposes.
    QTemporaryDir home;
    const UserFolders user(home.path(), QString());
    QString shownFolder;
    QString shownName;
    QTimer::singleShot(10000, [] {
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            open->reject();
        }
    });
    QTimer::singleShot(0, [&shownFolder, &shownName] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shownFolder = dialog->directory().absolutePath();
        shownName = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
        QMetaObject::invokeMethod(dialog, "accept");
    });
    platform::QtPlatform platform;
    const QString chosen = platform.AskSaveFileName(nullptr, QStringLiteral("Guardar"),
                                                    QStringLiteral("propuesto.pdf"),
                                                    QStringLiteral("Documentos PDF (*.pdf)"));
    QCOMPARE(shownFolder, QDir(home.path()).absolutePath());
    QCOMPARE(shownName, QStringLiteral("propuesto.pdf"));
    QCOMPARE(chosen, QDir(home.path()).absoluteFilePath("propuesto.pdf"));
}

QTEST_MAIN(TestQtPlatform)
#include "TestQtPlatform.moc"
