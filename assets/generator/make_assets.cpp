// Draws the two pictures that ship with the program: the blank deposit voucher
// that serves as the window's background and the window icon. Everything is
// drawn from fixed data, so running it again reproduces the same bytes.
//
//   make_assets <output folder>

#include <QColor>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QString>
#include <QTransform>
#include <array>
#include <cstdio>

namespace {

// 96 dpi, written into both files so their headers never depend on the screen.
constexpr int kDotsPerMeter = 3780;

// The window places its entry boxes and labels over these exact pixels.
constexpr int kVoucherWidth = 567;
constexpr int kVoucherHeight = 712;
constexpr int kHeadingCentre = 333;
// Rows 0 to 17 stay blank: the copy title is printed there. The bank name's
// line box starts higher, its capitals from row 19.
constexpr int kHeadingTop = 16;
constexpr QRect kAccountBox{QPoint{214, 65}, QPoint{450, 80}};
constexpr int kFrameLeft = 129;
constexpr int kFrameTop = 86;
constexpr int kFrameRight = 539;
constexpr int kFrameBottom = 616;
constexpr std::array kFullRules{180, 210, 233};
constexpr int kColumnTop = 180;
constexpr int kColumnBottom = 233;
constexpr std::array kColumnRules{247, 344};
constexpr int kAmountsLeft = 437;
constexpr int kAmountsBottom = 422;
constexpr std::array kDottedRules{246, 268, 291};
constexpr std::array kTotalRules{396, 422};

// Invented institution; the program never reads these words as data.
const char* const kBankName = "BANCO DE LA LLANURA TEMPLADA";
const char* const kCreditNote = "NOTA DE CRÉDITO PARA LA CUENTA";
const char* const kHolder = "GREMIO UNIDO DE ARTESANOS DEL TELAR";
const char* const kFund = "Fondo Solidario de Capacitación y Ayuda Mutua";
const char* const kAccount = "Cuenta Nº 000-482915/3";

constexpr int kIconSize = 96;

QFont VoucherFont(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    // Smoothed glyphs read like print at these small sizes; monochrome ones break up.
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Rules are filled pixel rectangles rather than stroked lines, so each lands
// on exactly the row or column the window's layout counts on.
void HorizontalRule(QPainter& p, int y, int x0, int x1) {
    p.fillRect(QRect(QPoint{x0, y}, QPoint{x1, y}), Qt::black);
}

void VerticalRule(QPainter& p, int x, int y0, int y1) {
    p.fillRect(QRect(QPoint{x, y0}, QPoint{x, y1}), Qt::black);
}

void DottedRule(QPainter& p, int y, int x0, int x1) {
    for (int x = x0; x <= x1; x += 2) {
        p.fillRect(QRect(x, y, 1, 1), Qt::black);
    }
}

void Box(QPainter& p, const QRect& r) {
    HorizontalRule(p, r.top(), r.left(), r.right());
    HorizontalRule(p, r.bottom(), r.left(), r.right());
    VerticalRule(p, r.left(), r.top(), r.bottom());
    VerticalRule(p, r.right(), r.top(), r.bottom());
}

void CentredLine(QPainter& p, const QFont& font, int top, int height, const QString& text) {
    p.setFont(font);
    const int halfWidth = 200;
    p.drawText(QRect(kHeadingCentre - halfWidth, top, 2 * halfWidth + 1, height),
               Qt::AlignHCenter | Qt::AlignVCenter, text);
}

QImage DrawVoucher() {
    // Painted in RGB32, which the raster engine handles natively, then stored as 24-bit.
    QImage image(kVoucherWidth, kVoucherHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setPen(Qt::black);

    // The heading's ink starts under the rows where each printed copy gets
    // its title, so that the title never lands on the bank's name.
    CentredLine(p, VoucherFont(13, true), kHeadingTop, 14, QString::fromUtf8(kBankName));
    CentredLine(p, VoucherFont(10, true), kHeadingTop + 14, 11, QString::fromUtf8(kCreditNote));
    CentredLine(p, VoucherFont(10, false), kHeadingTop + 24, 11, QString::fromUtf8(kHolder));
    CentredLine(p, VoucherFont(10, false), kHeadingTop + 34, 11, QString::fromUtf8(kFund));

    Box(p, kAccountBox);
    p.setFont(VoucherFont(11, true));
    p.drawText(kAccountBox.adjusted(1, 1, -1, -1), Qt::AlignCenter, QString::fromUtf8(kAccount));

    Box(p, QRect(QPoint{kFrameLeft, kFrameTop}, QPoint{kFrameRight, kFrameBottom}));
    for (int y : kFullRules) {
        HorizontalRule(p, y, kFrameLeft, kFrameRight);
    }
    for (int x : kColumnRules) {
        VerticalRule(p, x, kColumnTop, kColumnBottom);
    }
    for (int y : kDottedRules) {
        DottedRule(p, y, kFrameLeft, kFrameRight);
    }
    // The amounts column is solid through the dotted rows.
    VerticalRule(p, kAmountsLeft, kColumnTop, kAmountsBottom);
    for (int y : kTotalRules) {
        HorizontalRule(p, y, kAmountsLeft, kFrameRight);
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

QImage DrawIcon() {
    QImage image(kIconSize, kIconSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    // A price-tag label, tilted, drawn about the icon's centre.
    p.setTransform(QTransform().translate(48, 48).rotate(-15));
    const QRectF tag(-40, -24, 80, 48);
    QPainterPath outline;
    outline.addRoundedRect(tag, 9, 9);
    const QPointF holeCentre(-31, 0);
    QPainterPath hole;
    hole.addEllipse(holeCentre, 4.5, 4.5);
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.setBrush(QColor(190, 190, 190));
    p.drawPath(outline.subtracted(hole));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.drawEllipse(holeCentre, 4.5, 4.5);

    // Bars of one to three modules, as a barcode has, on a white field with a
    // quiet margin on either side.
    constexpr std::array kBars{2, 1, 1, 2, 3, 1, 1, 1, 2, 2, 1, 3, 2, 1, 1, 2, 1, 1, 3, 1, 2};
    constexpr double kModule = 1.5;
    constexpr double kMargin = 4;
    double barsWidth = 0;
    for (int modules : kBars) {
        barsWidth += modules * kModule;
    }
    const QRectF field(-23, -17, barsWidth + 2 * kMargin, 34);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(field);
    double x = field.left() + kMargin;
    bool bar = true;
    for (int modules : kBars) {
        const double width = modules * kModule;
        if (bar) {
            p.fillRect(QRectF(x, field.top() + kMargin, width, field.height() - 2 * kMargin),
                       Qt::black);
        }
        x += width;
        bar = !bar;
    }
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

bool Save(QImage image, const QString& path, const char* format) {
    image.setDotsPerMeterX(kDotsPerMeter);
    image.setDotsPerMeterY(kDotsPerMeter);
    if (!image.save(path, format)) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // No window is ever shown; this also lets it run where there is no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets <output folder>\n");
        return 2;
    }
    // A substitute font would move every heading line: refuse rather than drift.
    const QFontInfo info(VoucherFont(11, false));
    if (info.family() != QStringLiteral("Liberation Sans")) {
        std::fprintf(stderr, "make_assets: font Liberation Sans not found (got %s)\n",
                     qPrintable(info.family()));
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    // The icon also as a bitmap: the program reads bitmaps itself at start-up,
    // without waking Qt's image plugins; the PNG serves everything else.
    const QImage icon = DrawIcon();
    const bool ok = Save(DrawVoucher(), folder + QStringLiteral("/voucher.bmp"), "BMP") &&
                    Save(icon, folder + QStringLiteral("/icon.png"), "PNG") &&
                    Save(icon, folder + QStringLiteral("/icon.bmp"), "BMP");
    return ok ? 0 : 1;
}
