// SPDX-License-Identifier: GPL-3.0-or-later
// The platform's failures as the user reads them, from real files: the
// reason is Spanish, never the system's English wording.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#include "platform/QtPlatform.h"

class TestFailureTexts : public QObject {
    Q_OBJECT
  private slots:
    void reasons_data();
    void reasons();
};

void TestFailureTexts::reasons_data() {
    QTest::addColumn<QString>("setUp");  // what lies at the name before the call
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("told");
    QTest::addColumn<QString>("english");

    QTest::newRow("saving over a folder of the same name")
        << "folder"
        << "save"
        << "No se puede escribir (ya existe un archivo con ese nombre)"
        << "File exists";
    QTest::newRow("saving where a file stands for the folder")
        << "file as folder"
        << "save"
        << "No se puede escribir (una parte de la ruta no es una carpeta)"
        << "Not a directory";
    QTest::newRow("saving into a missing folder")
        << "missing folder"
        << "save"
        << "No se puede escribir (no existe el archivo o la carpeta)"
        << "No such file";
    QTest::newRow("deleting through a file that stands for the folder")
        << "file as folder"
        << "delete"
        << "No se puede borrar (una parte de la ruta no es una carpeta)"
        << "Not a directory";
}

void TestFailureTexts::reasons() {
    QFETCH(QString, setUp);
    QFETCH(QString, call);
    QFETCH(QString, told);
    QFETCH(QString, english);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(QStringLiteral("picCode.bmp"));
    if (setUp == QLatin1String("folder")) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("picCode.bmp")));
    } else if (setUp == QLatin1String("file as folder")) {
        QFile file(dir.filePath(QStringLiteral("plain")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        path = dir.filePath(QStringLiteral("plain/picCode.bmp"));
    } else {
        path = dir.filePath(QStringLiteral("missing/picCode.bmp"));
    }

    platform::QtPlatform platform;
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QString what;
    try {
        if (call == QLatin1String("save")) {
            platform.SavePicture(picture, path);
        } else {
            platform.DeleteFile(path);
        }
    } catch (const platform::Failure& failure) {
        what = QString::fromUtf8(failure.what());
    }
    QVERIFY2(what.startsWith(told), qPrintable(what));
    QVERIFY2(!what.contains(english), qPrintable(what));
    QVERIFY2(what.endsWith(QDir::toNativeSeparators(path)), qPrintable(what));
}

QTEST_MAIN(TestFailureTexts)
#include "TestFailureTexts.moc"
