// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>
#include <random>
#include <string>

#include "ZbarDecode.h"
#include "barcode/Codigo.h"
#include "barcode/ImageSurface.h"

// Drawn barcodes must read back, through the independent zbar decoder, as exactly the text.
class TestBarcodeRoundTrip : public QObject {
    Q_OBJECT

  private slots:
    void decodesToText_data();
    void decodesToText();
};

void TestBarcodeRoundTrip::decodesToText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("showText");

    std::mt19937 random(1528);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const auto digits = [&pick](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            text += char(pick('0', '9'));
        }
        return text;
    };
    const auto printable = [&pick](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            text += char(pick(32, 126));
        }
        return text;
    };

    // The voucher's payment code: "5247", an 11-digit tax number, pesos and cents.
    // Some with the text printed under the bars: it must not disturb the reading.
    for (int i = 0; i < 150; ++i) {
        QTest::addRow("payment code %d", i) << "5247" + digits(19) << (i % 5 == 0 ? 1 : 0);
    }
    for (int length = 1; length <= 80; ++length) {
        QTest::addRow("%d digits", length) << digits(length) << 0;
    }
    for (int i = 0; i < 120; ++i) {
        QTest::addRow("printable ASCII %d", i) << printable(pick(1, 30)) << 0;
    }
    for (int i = 0; i < 100; ++i) {
        QTest::addRow("ASCII then digits %d", i)
            << printable(pick(1, 10)) + digits(pick(1, 9)) << 0;
    }
    QByteArray everyCharacter;
    for (char c = ' '; c <= '~'; ++c) {
        everyCharacter += c;
    }
    QTest::addRow("every printable character") << everyCharacter << 0;
}

void TestBarcodeRoundTrip::decodesToText() {
    QFETCH(QByteArray, text);
    QFETCH(int, showText);

    codigo::ImageSurface surface;
    codigo::DrawBarcode(surface, 6, text.toStdString(), std::int16_t(showText));
    const std::vector<std::string> decoded = DecodeBarcodes(surface.picture());
    QCOMPARE(decoded.size(), std::size_t(1));
    QCOMPARE(QByteArray::fromStdString(decoded.front()), text);
}

QTEST_MAIN(TestBarcodeRoundTrip)
#include "TestBarcodeRoundTrip.moc"
