// SPDX-License-Identifier: GPL-3.0-or-later
#include <QBuffer>
#include <QtEndian>
#include <QtTest>

#include "platform/Bitmap.h"

// The 24-bit bitmap written and read row by row; Qt's own reader is the referee.
class TestBitmap : public QObject {
    Q_OBJECT
  private slots:
    void roundTrip_data();
    void roundTrip();
    void topDownRowsAreRead();
    void damagedFilesGiveNoPicture_data();
    void damagedFilesGiveNoPicture();
};

namespace {
QImage Pattern(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb((x * 37) & 0xFF, (y * 91) & 0xFF, (x ^ y) & 0xFF));
        }
    }
    return image;
}

QByteArray Written(const QImage& image) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!platform::WriteBitmap24(image, buffer)) {
        return {};
    }
    return buffer.data();
}
}  // namespace

void TestBitmap::roundTrip_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("rows need no padding") << 4 << 3;
    QTest::newRow("one byte of padding") << 1 << 2;
    QTest::newRow("two bytes of padding") << 2 << 5;
    QTest::newRow("three bytes of padding") << 3 << 1;
    QTest::newRow("a barcode's size") << 201 << 80;
}

void TestBitmap::roundTrip() {
    QFETCH(int, width);
    QFETCH(int, height);
    const QImage original = Pattern(width, height);
    const QByteArray file = Written(original);
    QCOMPARE(file.size(), 54 + ((width * 3 + 3) / 4 * 4) * height);
    QCOMPARE(qFromLittleEndian<quint16>(file.constData() + 28), quint16(24));
    QCOMPARE(QImage::fromData(file, "BMP").convertToFormat(QImage::Format_RGB32), original);
    QCOMPARE(platform::ReadBitmap(file), original);
}

void TestBitmap::topDownRowsAreRead() {
    const QImage original = Pattern(3, 4);
    QByteArray file = Written(original.mirrored(false, true));
    qToLittleEndian<qint32>(-4, file.data() + 22);  // a negative height: top row first
    QCOMPARE(platform::ReadBitmap(file), original);
}

void TestBitmap::damagedFilesGiveNoPicture_data() {
    QTest::addColumn<QByteArray>("file");
    const QByteArray good = Written(Pattern(5, 5));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << good.left(54);
    QTest::newRow("last row cut short") << good.left(good.size() - 1);
    QByteArray huge = good;
    qToLittleEndian<qint32>(0x7FFFFFFF, huge.data() + 18);
    QTest::newRow("width beyond any screen") << huge;
    QByteArray lowest = good;
    qToLittleEndian<qint32>(qint32(0x80000000), lowest.data() + 22);
    QTest::newRow("most negative height") << lowest;
    QByteArray offset = good;
    qToLittleEndian<quint32>(0xFFFFFFF0u, offset.data() + 10);
    QTest::newRow("pixels past the end") << offset;
    QByteArray inHeader = good;
    qToLittleEndian<quint32>(49, inHeader.data() + 10);
    QTest::newRow("pixels inside the headers") << inHeader;
    QByteArray longHeader = good;
    qToLittleEndian<quint32>(108, longHeader.data() + 14);
    QTest::newRow("pixels inside a longer header") << longHeader;
    QTest::newRow("not a picture") << QByteArray("BMnot really a bitmap at all");
}

void TestBitmap::damagedFilesGiveNoPicture() {
    QFETCH(QByteArray, file);
    QVERIFY(platform::ReadBitmap(file).isNull());
}

QTEST_GUILESS_MAIN(TestBitmap)
#include "TestBitmap.moc"
