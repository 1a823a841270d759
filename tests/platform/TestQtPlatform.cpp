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
        QTimer::singleShot(0, [dialog, &question] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question = box->text();
                box->button(QMessageBox::No)->click();
            }
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

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

QTEST_MAIN(TestQtPlatform)
#include "TestQtPlatform.moc"
