// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the pictures that ship with the program: the blank deposit voucher
// that serves as the window's background, the window icon and the same icon
// for the desktop's icon theme (PNGs and an SVG under icons/). Everything is
// drawn from fixed data, so running it again reproduces the same bytes.
//
//   make_assets <output folder>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRect>
#include <QRectF>
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
constexpr std::array kThemeIconSizes{16, 24, 32, 48, 64, 128, 256};

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

// The icon's drawing, in the 96-unit square of the window icon. The PNGs paint
// it and the scalable SVG writes it out, so every size shows the same picture.
constexpr double kIconCentre = 48;
constexpr double kTagTilt = -15;
constexpr QRectF kTag(-40, -24, 80, 48);
constexpr double kTagCorner = 9;
constexpr QPointF kHoleCentre(-31, 0);
constexpr double kHoleRadius = 4.5;
constexpr QColor kTagEdge(90, 90, 90);
constexpr QColor kTagFace(190, 190, 190);
constexpr double kTagEdgeWidth = 2;
constexpr double kHoleEdgeWidth = 1.5;
// Bars of one to three modules, as a barcode has, on a white field with a
// quiet margin on either side.
constexpr std::array kBars{2, 1, 1, 2, 3, 1, 1, 1, 2, 2, 1, 3, 2, 1, 1, 2, 1, 1, 3, 1, 2};
constexpr double kModule = 1.5;
constexpr double kMargin = 4;

QRectF BarField() {
    double barsWidth = 0;
    for (int modules : kBars) {
        barsWidth += modules * kModule;
    }
    return {-23, -17, barsWidth + 2 * kMargin, 34};
}

// Calls `bar(rect)` for each bar, left to right, in the tag's coordinates.
template <typename Bar>
void ForEachBar(Bar bar) {
    const QRectF field = BarField();
    double x = field.left() + kMargin;
    bool isBar = true;
    for (int modules : kBars) {
        const double width = modules * kModule;
        if (isBar) {
            bar(QRectF(x, field.top() + kMargin, width, field.height() - 2 * kMargin));
        }
        x += width;
        isBar = !isBar;
    }
}

// A price-tag label, tilted, drawn about the icon's centre.
void PaintIcon(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setTransform(QTransform().translate(kIconCentre, kIconCentre).rotate(kTagTilt), true);
    QPainterPath outline;
    outline.addRoundedRect(kTag, kTagCorner, kTagCorner);
    QPainterPath hole;
    hole.addEllipse(kHoleCentre, kHoleRadius, kHoleRadius);
    p.setPen(QPen(kTagEdge, kTagEdgeWidth));
    p.setBrush(kTagFace);
    p.drawPath(outline.subtracted(hole));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kTagEdge, kHoleEdgeWidth));
    p.drawEllipse(kHoleCentre, kHoleRadius, kHoleRadius);

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(BarField());
    ForEachBar([&p](const QRectF& r) { p.fillRect(r, Qt::black); });
}

// The window icon: 96 pixels on white.
QImage DrawIcon() {
    QImage image(kIconSize, kIconSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PaintIcon(p);
    p.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

// An icon for the desktop's icon theme: any size, transparent around the tag.
QImage DrawThemeIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(double(size) / kIconSize, double(size) / kIconSize);
    PaintIcon(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QString Number(double value) {
    return QString::number(value, 'g', 6);
}

QString SvgColour(const QColor& colour) {
    return colour.name(QColor::HexRgb);
}

// The same drawing as PaintIcon, written as SVG by hand: the outline with its
// hole is one even-odd path, so the hole stays see-through.
QString IconSvg() {
    const QRectF t = kTag;
    const double r = kTagCorner;
    const double hx = kHoleCentre.x();
    const double hy = kHoleCentre.y();
    const double hr = kHoleRadius;
    const QString arc = QStringLiteral(" A %1 %1 0 0 1 ").arg(Number(r));
    const QString tag = QStringLiteral("M %1 %2 H %3")
                            .arg(Number(t.left() + r), Number(t.top()), Number(t.right() - r)) +
                        arc +
                        QStringLiteral("%1 %2 V %3")
                            .arg(Number(t.right()), Number(t.top() + r), Number(t.bottom() - r)) +
                        arc +
                        QStringLiteral("%1 %2 H %3")
                            .arg(Number(t.right() - r), Number(t.bottom()), Number(t.left() + r)) +
                        arc +
                        QStringLiteral("%1 %2 V %3")
                            .arg(Number(t.left()), Number(t.bottom() - r), Number(t.top() + r)) +
                        arc + QStringLiteral("%1 %2 Z").arg(Number(t.left() + r), Number(t.top()));
    const QString circle = QStringLiteral(" M %1 %2 A %3 %3 0 1 0 %4 %2 A %3 %3 0 1 0 %1 %2 Z")
                               .arg(Number(hx + hr), Number(hy), Number(hr), Number(hx - hr));
    const QRectF field = BarField();
    QString bars;
    ForEachBar([&bars](const QRectF& b) {
        bars += QStringLiteral("    <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>\n")
                    .arg(Number(b.x()), Number(b.y()), Number(b.width()), Number(b.height()));
    });
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
               "viewBox=\"0 0 %1 %1\">\n"
               "  <g transform=\"translate(%2 %2) rotate(%3)\">\n"
               "    <path d=\"%4\" fill=\"%5\" fill-rule=\"evenodd\" stroke=\"%6\" "
               "stroke-width=\"%7\"/>\n"
               "    <circle cx=\"%8\" cy=\"%9\" r=\"%10\" fill=\"none\" stroke=\"%6\" "
               "stroke-width=\"%11\"/>\n"
               "    <rect x=\"%12\" y=\"%13\" width=\"%14\" height=\"%15\" fill=\"#ffffff\"/>\n"
               "    <g fill=\"#000000\">\n")
               .arg(QString::number(kIconSize), Number(kIconCentre), Number(kTagTilt), tag + circle,
                    SvgColour(kTagFace), SvgColour(kTagEdge), Number(kTagEdgeWidth), Number(hx),
                    Number(hy))
               .arg(Number(hr), Number(kHoleEdgeWidth), Number(field.x()), Number(field.y()),
                    Number(field.width()), Number(field.height())) +
           bars + QStringLiteral("    </g>\n  </g>\n</svg>\n");
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

// The desktop's menu and task bar take the icon from the hicolor theme, named
// after the program's desktop entry.
bool SaveThemeIcons(const QString& theme) {
    const QString name = QStringLiteral("ar.talonario.Talonario");
    for (int size : kThemeIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(theme).arg(size);
        if (!QDir().mkpath(folder) ||
            !Save(DrawThemeIcon(size), QStringLiteral("%1/%2.png").arg(folder, name), "PNG")) {
            return false;
        }
    }
    const QString folder = theme + QStringLiteral("/scalable/apps");
    QFile svg(QStringLiteral("%1/%2.svg").arg(folder, name));
    if (!QDir().mkpath(folder) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(IconSvg().toUtf8()) < 0 || !svg.flush()) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(svg.fileName()));
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
                    Save(icon, folder + QStringLiteral("/icon.bmp"), "BMP") &&
                    SaveThemeIcons(folder + QStringLiteral("/icons/hicolor"));
    return ok ? 0 : 1;
}
