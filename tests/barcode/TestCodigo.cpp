// SPDX-License-Identifier: GPL-3.0-or-later
#include <QImage>
#include <QList>
#include <QStringList>
#include <QtTest>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "barcode/Code128Patterns.h"
#include "barcode/Codigo.h"
#include "barcode/ImageSurface.h"

namespace {

constexpr int S = codigo::kStopSymbol;  // the stop pattern in the value lists
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBlack = 0xFF000000;

std::string Std(const QByteArray& bytes) {
    return {bytes.constData(), std::size_t(bytes.size())};
}

QList<int> Repeat(const QList<int>& values, int times) {
    QList<int> all;
    for (int i = 0; i < times; ++i) {
        all += values;
    }
    return all;
}

// Records every surface call, in order, and the segments drawn; no pixels.
class RecordingSurface final : public codigo::Surface {
  public:
    struct Segment {
        std::int16_t flags;
        std::int32_t x1, y1, x2, y2;
        std::uint32_t bgr;
    };

    mutable QStringList calls;  // the screen metrics are const members
    std::vector<Segment> lines;

    // Consecutive Line calls folded into one entry, "Line x57".
    QStringList Folded() const {
        QStringList folded;
        int run = 0;
        for (const QString& call : calls) {
            if (call == QLatin1String("Line")) {
                ++run;
                continue;
            }
            if (run > 0) {
                folded << QStringLiteral("Line x%1").arg(run);
                run = 0;
            }
            folded << call;
        }
        if (run > 0) {
            folded << QStringLiteral("Line x%1").arg(run);
        }
        return folded;
    }

    void ClearPicture() override { calls << "ClearPicture"; }
    void SetBackColor(std::uint32_t bgr) override {
        calls << QStringLiteral("SetBackColor(%1)").arg(bgr, 0, 16);
    }
    void SetAutoRedraw(bool on) override {
        calls << QStringLiteral("SetAutoRedraw(%1)").arg(on ? 1 : 0);
    }
    void SetScaleMode(int mode) override { calls << QStringLiteral("SetScaleMode(%1)").arg(mode); }
    double TextHeight(const std::string& text) override {
        calls << QStringLiteral("TextHeight(%1)").arg(QString::fromStdString(text));
        return 13.5;
    }
    void SetHeight(double twips) override { calls << QStringLiteral("SetHeight(%1)").arg(twips); }
    void SetWidth(double twips) override { calls << QStringLiteral("SetWidth(%1)").arg(twips); }
    void Line(std::int16_t flags, std::int32_t x1, std::int32_t y1, std::int32_t x2,
              std::int32_t y2, std::uint32_t bgr) override {
        calls << "Line";
        lines.push_back({flags, x1, y1, x2, y2, bgr});
    }
    double TextWidth(const std::string& text) override {
        calls << QStringLiteral("TextWidth(%1)").arg(QString::fromStdString(text));
        return 20.25;
    }
    void SetCurrentX(double x) override { calls << QStringLiteral("SetCurrentX(%1)").arg(x); }
    void SetCurrentY(std::int32_t y) override { calls << QStringLiteral("SetCurrentY(%1)").arg(y); }
    void Print(const std::string& text) override {
        calls << QStringLiteral("Print(%1)").arg(QString::fromStdString(text));
    }
    void KeepImageAsPicture() override { calls << "KeepImageAsPicture"; }
    // Unequal axes, so a swapped axis shows in the sizes.
    double TwipsPerPixelX() const override {
        calls << "TwipsPerPixelX";
        return 10;
    }
    double TwipsPerPixelY() const override {
        calls << "TwipsPerPixelY";
        return 12;
    }
};

// The modules the symbol values stand for, "1" bar, "0" space.
QString ExpectedModules(const std::vector<int>& symbols) {
    QString modules;
    for (const int value : symbols) {
        const std::string_view pattern =
            value == S ? codigo::kStopPattern : codigo::kCode128Patterns.at(value);
        modules += QString::fromLatin1(pattern.data(), qsizetype(pattern.size()));
    }
    return modules;
}

QString ModulesInRow(const QImage& picture, int row, int first, int last) {
    QString modules;
    for (int x = first; x <= last; ++x) {
        modules += picture.pixel(x, row) == kBlack ? '1' : '0';
    }
    return modules;
}

bool IsBlank(const QImage& picture, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (picture.pixel(x, y) != kWhite) {
                return false;
            }
        }
    }
    return true;
}

// Rows and columns holding anything but white.
QRect InkBounds(const QImage& picture, const QRect& area) {
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (picture.pixel(x, y) != kWhite) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

// Reads symbol values back the way ISO/IEC 15417 defines them, sets B and C only; empty when
// the sequence is not a well-formed symbol with a correct check character.
std::string Decode(const std::vector<int>& symbols) {
    if (symbols.size() < 3 || symbols.back() != S) {
        return {};
    }
    const int start = symbols.front();
    if (start != codigo::kStartB && start != codigo::kStartC) {
        return {};
    }
    long long sum = start;
    for (std::size_t i = 1; i + 2 < symbols.size(); ++i) {
        sum += static_cast<long long>(i) * symbols[i];
    }
    if (sum % 103 != symbols[symbols.size() - 2]) {
        return {};
    }
    std::string text;
    bool setC = start == codigo::kStartC;
    for (std::size_t i = 1; i + 2 < symbols.size(); ++i) {
        const int v = symbols[i];
        if (setC) {
            text += char('0' + v / 10);
            text += char('0' + v % 10);
        } else if (v == codigo::kCodeC) {
            setC = true;
        } else {
            text += char(v + 32);
        }
    }
    return text;
}

}  // namespace

class TestCodigo : public QObject {
    Q_OBJECT

  private slots:
    void emitsSymbolValues_data();
    void emitsSymbolValues();
    void countMatchesEmittedSymbols();
    void callOrder_data();
    void callOrder();
    void geometry_data();
    void geometry();
    void legend_data();
    void legend();
    void secondCallStartsAfresh();
    void overflow_data();
    void overflow();
    void refusal_data();
    void refusal();
    void surfaceLinePaintsBothEnds_data();
    void surfaceLinePaintsBothEnds();
};

void TestCodigo::emitsSymbolValues_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<int>>("symbols");
    QTest::addColumn<int>("count");

    QTest::newRow("even digits: Start C, pairs, no switch")
        << QByteArray("1234") << QList<int>{105 /*Start C*/, 12, 34, 82 /*check*/, S} << 2;
    QTest::newRow("odd digits: first digit in B, then Code C")
        << QByteArray("12345")
        << QList<int>{104 /*Start B*/, 17 /*"1"*/, 99 /*Code C*/, 23, 45, 53 /*check*/, S} << 4;
    QTest::newRow("three digits stay in set B")
        << QByteArray("123")
        << QList<int>{104 /*Start B*/, 17 /*"1"*/, 18 /*"2"*/, 19 /*"3"*/, 8 /*check*/, S} << 3;
    QTest::newRow("digits before letters go one by one in B")
        << QByteArray("12AB3456")
        << QList<int>{104 /*Start B*/, 17 /*"1"*/, 18 /*"2"*/, 33 /*"A"*/,   34 /*"B"*/,
                      99 /*Code C*/,   34,         56,         41 /*check*/, S}
        << 7;
    QTest::newRow("two trailing digits stay in set B")
        << QByteArray("AB12") << QList<int>{104 /*Start B*/, 33 /*"A"*/,   34 /*"B"*/, 17 /*"1"*/,
                                            18 /*"2"*/,      19 /*check*/, S}
        << 4;
    QTest::newRow("pair with a leading zero is its number")
        << QByteArray("0512") << QList<int>{105 /*Start C*/, 5, 12, 31 /*check*/, S} << 2;
    QTest::newRow("six digits then a letter: seven set B symbols")
        << QByteArray("123456A")
        << QList<int>{104 /*Start B*/, 17, 18, 19, 20, 21, 22, 33 /*"A"*/, 41 /*check*/, S} << 7;
    QTest::newRow("text ending in a letter never uses set C")
        << QByteArray("1234A")
        << QList<int>{104 /*Start B*/, 17, 18, 19, 20, 33 /*"A"*/, 47 /*check*/, S} << 5;
    QTest::newRow("letter then four digits switches to C")
        << QByteArray("A1234")
        << QList<int>{104 /*Start B*/, 33 /*"A"*/, 99 /*Code C*/, 12, 34, 95 /*check*/, S} << 4;
    QTest::newRow("ends of set B: space and tilde")
        << QByteArray(" ~") << QList<int>{104 /*Start B*/, 0 /*" "*/, 94 /*"~"*/, 86 /*check*/, S}
        << 2;
    QTest::newRow("single digit") << QByteArray("0")
                                  << QList<int>{104 /*Start B*/, 16 /*"0"*/, 17 /*check*/, S} << 1;
    QTest::newRow("60 digits: Start C and 30 pairs")
        << QByteArray("0123456789").repeated(6)
        << QList<int>{105 /*Start C*/} + Repeat({1, 23, 45, 67, 89}, 6) +
               QList<int>{102 /*check*/, S}
        << 30;
    QTest::newRow("61 digits: first digit in B, Code C, 30 pairs")
        << QByteArray("0123456789").repeated(6) + "0"
        << QList<int>{104 /*Start B*/, 16 /*"0"*/, 99 /*Code C*/} +
               Repeat({12, 34, 56, 78, 90}, 6) + QList<int>{101 /*check*/, S}
        << 32;
}

void TestCodigo::emitsSymbolValues() {
    QFETCH(QByteArray, text);
    QFETCH(QList<int>, symbols);
    QFETCH(int, count);

    const std::vector<int> emitted = codigo::EncodeSymbols(Std(text));
    QCOMPARE(QList<int>(emitted.begin(), emitted.end()), symbols);
    QCOMPARE(int(codigo::CountSymbols(Std(text))), count);
}

void TestCodigo::countMatchesEmittedSymbols() {
    std::mt19937 random(20240611);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 600; ++i) {
        std::string text;
        const int printable = i % 3 == 0 ? 0 : pick(1, 20);  // a third are digits only
        for (int k = 0; k < printable; ++k) {
            text += char(pick(32, 126));
        }
        const int digits = pick(text.empty() ? 1 : 0, i % 3 == 0 ? 80 : 9);
        for (int k = 0; k < digits; ++k) {
            text += char(pick('0', '9'));
        }

        const std::vector<int> emitted = codigo::EncodeSymbols(text);
        const QByteArray shown = QByteArray::fromStdString(text);
        QVERIFY2(emitted.size() >= 3, shown.constData());
        QVERIFY2(std::size_t(codigo::CountSymbols(text)) == emitted.size() - 3, shown.constData());
        QVERIFY2(Decode(emitted) == text, shown.constData());
    }
}

void TestCodigo::callOrder_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("showText");
    QTest::addColumn<QStringList>("calls");

    // Twips per pixel 10 across, 12 down; text 13.5 high and 20.25 wide.
    QTest::newRow("window's call, no legend")
        << QByteArray("1234") << 0
        << QStringList{"ClearPicture",     "SetBackColor(ffffff)",
                       "SetAutoRedraw(1)", "SetScaleMode(3)",
                       "TwipsPerPixelY",   "SetHeight(960)" /*(60 + 20) x 12*/,
                       "TwipsPerPixelX",   "SetWidth(800)" /*(25 + 11 x (2 + 3)) x 10*/,
                       "Line x57",         "KeepImageAsPicture"};
    // Three symbols put the centre between two columns: the half must not be truncated.
    QTest::newRow("legend: measured first, printed after the stop")
        << QByteArray("123") << 1
        << QStringList{"ClearPicture",
                       "SetBackColor(ffffff)",
                       "SetAutoRedraw(1)",
                       "SetScaleMode(3)",
                       "TextHeight(123)",
                       "TwipsPerPixelY",
                       "SetHeight(1182)" /*(13.5 + 60 + 25) x 12*/,
                       "TwipsPerPixelX",
                       "SetWidth(910)" /*(25 + 11 x (3 + 3)) x 10*/,
                       "Line x68",
                       "TextWidth(123)",
                       "SetCurrentX(34.375)" /*(69 + 20) / 2 - 20.25 / 2*/,
                       "SetCurrentY(75)",
                       "Print(123)",
                       "KeepImageAsPicture"};
}

void TestCodigo::callOrder() {
    QFETCH(QByteArray, text);
    QFETCH(int, showText);
    QFETCH(QStringList, calls);

    RecordingSurface surface;
    codigo::DrawBarcode(surface, 6, Std(text), std::int16_t(showText));
    QCOMPARE(surface.Folded(), calls);

    for (std::size_t i = 0; i < surface.lines.size(); ++i) {
        const auto& line = surface.lines[i];
        QCOMPARE(line.flags, std::int16_t(6));
        QCOMPARE(line.x1, std::int32_t(12 + i));
        QCOMPARE(line.x2, line.x1);
        QCOMPARE(line.y1, 10);
        QCOMPARE(line.y2, 70);
        QVERIFY(line.bgr == 0x000000 || line.bgr == 0xFFFFFF);
    }
}

void TestCodigo::geometry_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("barHeightTens");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("window's call: 23-digit code is 201 x 80")
        << QByteArray("52472012345678900012345") << 6 << 201 << 80;
    QTest::newRow("1234: two symbols, 80 wide") << QByteArray("1234") << 6 << 80 << 80;
    QTest::newRow("12345: two symbols more, 22 px wider") << QByteArray("12345") << 6 << 102 << 80;
    QTest::newRow("one character") << QByteArray("A") << 6 << 69 << 80;
    QTest::newRow("60 digits: 388 wide") << QByteArray("0123456789").repeated(6) << 6 << 388 << 80;
    QTest::newRow("61 digits: 410 wide")
        << QByteArray("0123456789").repeated(6) + "7" << 6 << 410 << 80;
    QTest::newRow("bar height 0: one-pixel bars") << QByteArray("1234") << 0 << 80 << 20;
    QTest::newRow("bar height 1: eleven-pixel bars") << QByteArray("1234") << 1 << 80 << 30;
}

void TestCodigo::geometry() {
    QFETCH(QByteArray, text);
    QFETCH(int, barHeightTens);
    QFETCH(int, width);
    QFETCH(int, height);

    codigo::ImageSurface surface;
    codigo::DrawBarcode(surface, std::int16_t(barHeightTens), Std(text), 0);
    const QImage& picture = surface.picture();
    QCOMPARE(picture.size(), QSize(width, height));

    const int modules = width - 23;  // N
    const int barBottom = 10 + 10 * barHeightTens;
    QVERIFY2(IsBlank(picture, QRect(0, 0, 12, height)), "left quiet zone, columns 0..11");
    QVERIFY2(IsBlank(picture, QRect(modules + 12, 0, 11, height)), "right quiet zone");
    QVERIFY2(IsBlank(picture, QRect(0, 0, width, 10)), "rows above the bars");
    QVERIFY2(IsBlank(picture, QRect(QPoint(0, barBottom + 1), QPoint(width - 1, height - 1))),
             "rows below the bars");

    const QString expected = ExpectedModules(codigo::EncodeSymbols(Std(text)));
    QCOMPARE(expected.size(), modules);
    for (int row = 10; row <= barBottom; ++row) {
        QCOMPARE(ModulesInRow(picture, row, 12, modules + 11), expected);
    }
}

void TestCodigo::legend_data() {
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("short text") << QByteArray("1234");
    QTest::newRow("23-digit code") << QByteArray("52472012345678900012345");
    QTest::newRow("letters and digits") << QByteArray("Talon-42");
}

void TestCodigo::legend() {
    QFETCH(QByteArray, text);

    codigo::ImageSurface plain;
    codigo::DrawBarcode(plain, 6, Std(text), 0);
    codigo::ImageSurface withLegend;
    codigo::DrawBarcode(withLegend, 6, Std(text), 1);
    const QImage& picture = withLegend.picture();

    const double textHeight = withLegend.TextHeight(Std(text));
    QVERIFY2(qAbs(picture.height() - (80 + textHeight + 5)) <= 0.5,
             qPrintable(QString::number(picture.height())));
    QCOMPARE(picture.width(), plain.picture().width());
    QCOMPARE(picture.copy(0, 0, picture.width(), 71),
             plain.picture().copy(0, 0, picture.width(), 71));

    // Text top at row 75: rows 71..74 blank, the ink below starts within the font's
    // internal leading. Horizontally the ink lies in the text's advance box, centred on the
    // symbol with its quiet zones, column (N + 21) / 2.
    QVERIFY(IsBlank(picture, QRect(0, 71, picture.width(), 4)));
    const QRect ink = InkBounds(picture, QRect(0, 71, picture.width(), picture.height() - 71));
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.top() >= 75 && ink.top() <= 75 + 4, qPrintable(QString::number(ink.top())));
    const double centre = (picture.width() - 23 + 21) / 2.0;
    const double textWidth = withLegend.TextWidth(Std(text));
    const QString span = QStringLiteral("ink %1..%2").arg(ink.left()).arg(ink.right());
    QVERIFY2(ink.left() >= centre - textWidth / 2 - 1, qPrintable(span));
    QVERIFY2(ink.right() <= centre + textWidth / 2 + 1, qPrintable(span));
    QVERIFY2(ink.width() > textWidth * 0.75, qPrintable(span));
}

void TestCodigo::secondCallStartsAfresh() {
    const std::string first = std::string(60, '8');
    codigo::ImageSurface surface;
    codigo::DrawBarcode(surface, 6, first, 1);
    const QImage firstPicture = surface.picture();
    codigo::DrawBarcode(surface, 3, "AB12", 0);

    codigo::ImageSurface freshFirst;
    codigo::DrawBarcode(freshFirst, 6, first, 1);
    codigo::ImageSurface freshSecond;
    codigo::DrawBarcode(freshSecond, 3, "AB12", 0);
    QCOMPARE(surface.picture(), freshSecond.picture());
    QCOMPARE(firstPicture, freshFirst.picture());
}

void TestCodigo::overflow_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("barHeightTens");
    QTest::addColumn<bool>("overflows");
    QTest::addColumn<int>("linesDrawn");  // before the overflow; they stay drawn

    QTest::newRow("bar height 3277 x 10 passes 16 bits") << QByteArray("1234") << 3277 << true << 0;
    QTest::newRow("bar height 3276 x 10 fits") << QByteArray("1234") << 3276 << false << 57;
    // Set C pair k sits at position k; 331 x 99 = 32769. The pair is drawn, then weighed.
    QTest::newRow("set C product 331 x 99 passes 16 bits")
        << QByteArray(662, '9') << 6 << true << 11 * (1 + 331);
    QTest::newRow("set C product 330 x 99 fits")
        << QByteArray(660, '9') << 6 << false << 11 * (1 + 330 + 1) + 13;
    QTest::newRow("code C switch 331 x 99 passes 16 bits")
        << QByteArray(330, 'A') + "1234" << 6 << true << 11 * (1 + 330 + 1);
    QTest::newRow("code C switch 330 x 99 fits")
        << QByteArray(329, 'A') + "1234" << 6 << false << 11 * (1 + 329 + 1 + 2 + 1) + 13;
    // 104 + 94 x (1 + ... + n) passes 2^31 - 1 at n = 6760, before that symbol is drawn.
    QTest::newRow("check sum passes 32 bits")
        << QByteArray(6760, '~') << 6 << true << 11 * (1 + 6759);
    QTest::newRow("check sum just fits")
        << QByteArray(6759, '~') << 6 << false << 11 * (1 + 6759 + 1) + 13;
    QTest::newRow("symbol count passes 16 bits") << QByteArray(32768, 'A') << 6 << true << 0;
}

void TestCodigo::overflow() {
    QFETCH(QByteArray, text);
    QFETCH(int, barHeightTens);
    QFETCH(bool, overflows);
    QFETCH(int, linesDrawn);

    RecordingSurface surface;
    if (overflows) {
        QVERIFY_THROWS_EXCEPTION(
            std::overflow_error,
            codigo::DrawBarcode(surface, std::int16_t(barHeightTens), Std(text), 0));
        QVERIFY(!surface.calls.contains("KeepImageAsPicture"));
    } else {
        codigo::DrawBarcode(surface, std::int16_t(barHeightTens), Std(text), 0);
        QCOMPARE(surface.calls.last(), QStringLiteral("KeepImageAsPicture"));
    }
    QCOMPARE(int(surface.lines.size()), linesDrawn);
}

void TestCodigo::refusal_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("barHeightTens");
    QTest::addColumn<QStringList>("message");

    QTest::newRow("empty text") << QByteArray() << 6 << QStringList{"empty"};
    QTest::newRow("control character 31 at position 3")
        << QByteArray(
               "12\x1f"
               "4")
        << 6 << QStringList{"code 31", "position 3"};
    QTest::newRow("DEL, 127, at position 1") << QByteArray(
                                                    "\x7f"
                                                    "123")
                                             << 6 << QStringList{"code 127", "position 1"};
    QTest::newRow("NUL inside the text") << QByteArray(
                                                "1\0"
                                                "2",
                                                3)
                                         << 6 << QStringList{"code 0", "position 2"};
    QTest::newRow("Latin-1 e-acute is code 233, not negative")
        << QByteArray("12\xe9") << 6 << QStringList{"code 233", "position 3"};
    QTest::newRow("negative bar height")
        << QByteArray("1234") << -1 << QStringList{"bar height", "-1"};
}

void TestCodigo::refusal() {
    QFETCH(QByteArray, text);
    QFETCH(int, barHeightTens);
    QFETCH(QStringList, message);

    RecordingSurface surface;
    try {
        codigo::DrawBarcode(surface, std::int16_t(barHeightTens), Std(text), 0);
        QFAIL("no std::invalid_argument");
    } catch (const std::invalid_argument& refusal) {
        for (const QString& part : message) {
            QVERIFY2(QString::fromUtf8(refusal.what()).contains(part), refusal.what());
        }
    }
    QCOMPARE(surface.calls, QStringList());
}

void TestCodigo::surfaceLinePaintsBothEnds_data() {
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRect>("painted");

    QTest::newRow("vertical, downwards") << QPoint(5, 2) << QPoint(5, 6) << QRect(5, 2, 1, 5);
    QTest::newRow("vertical, upwards") << QPoint(5, 6) << QPoint(5, 2) << QRect(5, 2, 1, 5);
    QTest::newRow("vertical, clipped at the edges")
        << QPoint(9, -4) << QPoint(9, 30) << QRect(9, 0, 1, 10);
    QTest::newRow("vertical, outside") << QPoint(12, 0) << QPoint(12, 5) << QRect();
    QTest::newRow("horizontal") << QPoint(2, 3) << QPoint(6, 3) << QRect(2, 3, 5, 1);
    QTest::newRow("single point") << QPoint(4, 4) << QPoint(4, 4) << QRect(4, 4, 1, 1);
}

void TestCodigo::surfaceLinePaintsBothEnds() {
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRect, painted);

    codigo::ImageSurface surface(15, 15);
    surface.SetBackColor(0xFFFFFF);
    surface.SetWidth(10 * 15);
    surface.SetHeight(10 * 15);
    surface.Line(6, from.x(), from.y(), to.x(), to.y(), 0x000000);
    QCOMPARE(InkBounds(surface.image(), surface.image().rect()), painted);
    if (!painted.isEmpty()) {
        for (int y = painted.top(); y <= painted.bottom(); ++y) {
            for (int x = painted.left(); x <= painted.right(); ++x) {
                QCOMPARE(surface.image().pixel(x, y), kBlack);
            }
        }
    }
}

QTEST_MAIN(TestCodigo)
#include "TestCodigo.moc"
