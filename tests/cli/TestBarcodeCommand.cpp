// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtEndian>
#include <QtTest>

#include "ZbarDecode.h"
#include "barcode/ImageSurface.h"
#include "cli/BarcodeCommand.h"
#include "platform/Startup.h"

namespace {

struct Outcome {
    int status;
    QString err;
};

Outcome Run(const QStringList& args) {
    QString err;
    QTextStream stream(&err);
    const int status = cli::RunBarcodeCommand(QStringList{"talonario"} + args, stream);
    return {status, err};
}

}  // namespace

class TestBarcodeCommand : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { platform::InstallSpanishQtTranslation(); }
    void writesBitmap_data();
    void writesBitmap();
    void refuses_data();
    void refuses();
    void refusalKeepsExistingFile();
    void unwritableOutput();
};

void TestBarcodeCommand::writesBitmap_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QSize>("size");

    QTest::newRow("payment code, default height, no legend")
        << "52472012345678900012345" << QStringList() << QSize(201, 80);
    QTest::newRow("bar height 3") << "1234" << QStringList{"--bar-height", "3"} << QSize(80, 50);
    // Bars and margins, then the text's height and 5 pixels above it.
    const int legendHeight = qRound(80 + codigo::ImageSurface().TextHeight("1234") + 5);
    QTest::newRow("legend makes it taller")
        << "1234" << QStringList{"--legend"} << QSize(80, legendHeight);
    QTest::newRow("ASCII with spaces") << "Talon 7 ~x" << QStringList() << QSize(168, 80);
}

void TestBarcodeCommand::writesBitmap() {
    QFETCH(QString, text);
    QFETCH(QStringList, options);
    QFETCH(QSize, size);

    QTemporaryDir dir;
    const QString path = dir.filePath("picCode.bmp");
    const Outcome outcome = Run(QStringList{"--barcode", text, "--output", path} + options);
    QCOMPARE(outcome.err, QString());
    QCOMPARE(outcome.status, 0);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.size() > 54);
    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(24));  // bits per pixel
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 30), quint32(0));   // uncompressed

    const QImage picture(path);
    QCOMPARE(picture.size(), size);
    const std::vector<std::string> decoded = DecodeBarcodes(picture);
    QCOMPARE(decoded.size(), std::size_t(1));
    QCOMPARE(QString::fromLatin1(decoded.front()), text);
}

void TestBarcodeCommand::refuses_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    QTest::newRow("no output") << QStringList{"--barcode", "1234"} << "Uso: talonario --barcode";
    QTest::newRow("no text") << QStringList{"--output", "@"} << "Uso: talonario --barcode";
    QTest::newRow("empty text") << QStringList{"--barcode", "", "--output", "@"} << "vacío";
    QTest::newRow("control character shown escaped")
        << QStringList{"--barcode", "12\t4", "--output", "@"}
        << "«\\t» (código 9) en la posición 3";
    QTest::newRow("Latin-1 letter") << QStringList{"--barcode", "A\u00e91", "--output", "@"}
                                    << "«é» (código 233) en la posición 2";
    QTest::newRow("beyond Latin-1, not silently '?'")
        << QStringList{"--barcode", "12\u20ac", "--output", "@"}
        << "«€» (código 8364) en la posición 3";
    QTest::newRow("emoji is one whole character")
        << QStringList{"--barcode",
                       "1\U0001F600"
                       "2",
                       "--output", "@"}
        << "«\U0001F600» (código 128512) en la posición 2";
    QTest::newRow("bar height not a number")
        << QStringList{"--barcode", "1234", "--output", "@", "--bar-height", "six"} << "«six»";
    QTest::newRow("bar height beyond 16 bits")
        << QStringList{"--barcode", "1234", "--output", "@", "--bar-height", "40000"} << "40000";
    QTest::newRow("negative bar height")
        << QStringList{"--barcode", "1234", "--output", "@", "--bar-height", "-1"} << "negativo";
    QTest::newRow("bar height overflowing its pixels reports the height given")
        << QStringList{"--barcode", "1234", "--output", "@", "--bar-height", "3277"}
        << "--bar-height 3277";
    QTest::newRow("bar height with a line break, overflowing, shown escaped")
        << QStringList{"--barcode", "1234", "--output", "@", "--bar-height", "\n3277"}
        << "--bar-height \\n3277";
    QTest::newRow("bar height with a carriage return, too tall, shown escaped")
        << QStringList{"--barcode", QString(2000, u'A'), "--output", "@", "--bar-height", "\r3000"}
        << "--bar-height \\r3000";
    QTest::newRow("picture over 64 megapixels")
        << QStringList{"--barcode", QString(2000, u'A'), "--output", "@", "--bar-height", "3000"}
        << "64 millones de píxeles";
    QTest::newRow("long text at the tallest height")
        << QStringList{"--barcode", QString(20000, u'A'), "--output", "@", "--bar-height", "3276"}
        << "--bar-height 3276";
    QTest::newRow("unknown option, in Spanish")
        << QStringList{"--barcode", "1234", "--output", "@", "--colour"} << "desconocida «colour»";
    QTest::newRow("voucher option")
        << QStringList{"--barcode", "1234", "--output", "@", "--cuit", "1"}
        << "--cuit va solo con --pdf";
    QTest::newRow("stray argument")
        << QStringList{"--barcode", "1234", "--output", "@", "extra"} << "«extra»";
}

void TestBarcodeCommand::refuses() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    QTemporaryDir dir;
    args.replaceInStrings(QStringLiteral("@"), dir.filePath("out.bmp"));
    const Outcome outcome = Run(args);
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY(outcome.err.endsWith('\n'));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestBarcodeCommand::refusalKeepsExistingFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("picCode.bmp");
    QVERIFY(Run({"--barcode", "1234", "--output", path}).status == 0);
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray previous = before.readAll();
    before.close();

    QCOMPARE(Run({"--barcode", "12\x7f", "--output", path}).status, 2);
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), previous);
}

void TestBarcodeCommand::unwritableOutput() {
    QTemporaryDir dir;
    const Outcome outcome =
        Run({"--barcode", "1234", "--output", dir.filePath("missing/folder/out.bmp")});
    QCOMPARE(outcome.status, 3);
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY2(outcome.err.contains("no se puede escribir"), qPrintable(outcome.err));
}

QTEST_MAIN(TestBarcodeCommand)
#include "TestBarcodeCommand.moc"
