// SPDX-License-Identifier: GPL-3.0-or-later
#include "barcode/ImageSurface.h"

#include <QFile>
#include <QFontMetricsF>
#include <QIODevice>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/Bitmap.h"

namespace codigo {
namespace {

constexpr int kPixels = 3;

// &H00BBGGRR as the surface takes colours.
QRgb FromBgr(std::uint32_t bgr) {
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

int ToPixels(double twips, double twipsPerPixel) {
    return std::max(0, static_cast<int>(std::lround(twips / twipsPerPixel)));
}

QString FromLatin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ImageSurface::ImageSurface(double twipsPerPixelX, double twipsPerPixelY)
    : twipsPerPixelX_(twipsPerPixelX), twipsPerPixelY_(twipsPerPixelY) {
    if (!(twipsPerPixelX > 0) || !(twipsPerPixelY > 0)) {
        throw std::invalid_argument("twips per pixel must be positive");
    }
    font_.setFamily(QStringLiteral("Liberation Sans"));
    font_.setPixelSize(11);
    font_.setStyleStrategy(QFont::NoAntialias);
}

void ImageSurface::ClearPicture() {
    picture_ = QImage();
}

void ImageSurface::SetBackColor(std::uint32_t bgr) {
    backColor_ = QColor::fromRgb(FromBgr(bgr));
    image_.fill(backColor_);
}

// There is no screen behind this surface: drawing always goes to the persistent image.
void ImageSurface::SetAutoRedraw(bool on) {
    autoRedraw_ = on;
}

void ImageSurface::SetScaleMode(int mode) {
    if (mode != kPixels) {
        throw std::invalid_argument("ImageSurface draws in pixels only (scale mode 3)");
    }
}

double ImageSurface::TextHeight(const std::string&) {
    return QFontMetricsF(font_).height();
}

void ImageSurface::SetHeight(double twips) {
    ResizeArea(size_.width(), ToPixels(twips, twipsPerPixelY_));
}

void ImageSurface::SetWidth(double twips) {
    ResizeArea(ToPixels(twips, twipsPerPixelX_), size_.height());
}

void ImageSurface::Line(std::int16_t, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                        std::int32_t y2, std::uint32_t bgr) {
    const QRgb color = FromBgr(bgr);
    if (x1 == x2) {
        // A barcode is hundreds of one-pixel columns: write them straight into the image.
        if (x1 < 0 || x1 >= image_.width()) {
            return;
        }
        const int top = std::max(0, std::min(y1, y2));
        const int bottom = std::min(image_.height() - 1, std::max(y1, y2));
        if (top > bottom) {
            return;
        }
        const qsizetype stride = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
        QRgb* pixel = reinterpret_cast<QRgb*>(image_.scanLine(top)) + x1;
        for (int y = top; y <= bottom; ++y, pixel += stride) {
            *pixel = color;
        }
        return;
    }
    QPainter painter(&image_);
    painter.setPen(QPen(QColor::fromRgb(color), 0));  // cosmetic: one pixel wide
    painter.drawLine(x1, y1, x2, y2);
    painter.drawPoint(x2, y2);  // both end points belong to the segment
}

double ImageSurface::TextWidth(const std::string& text) {
    return QFontMetricsF(font_).horizontalAdvance(FromLatin1(text));
}

void ImageSurface::SetCurrentX(double x) {
    currentX_ = x;
}

void ImageSurface::SetCurrentY(std::int32_t y) {
    currentY_ = y;
}

void ImageSurface::Print(const std::string& text) {
    QPainter painter(&image_);
    painter.setFont(font_);
    painter.setPen(foreColor_);
    // CurrentY is the top of the text; drawText wants the baseline.
    painter.drawText(QPointF(currentX_, currentY_ + QFontMetricsF(font_).ascent()),
                     FromLatin1(text));
}

void ImageSurface::KeepImageAsPicture() {
    picture_ = image_;
}

double ImageSurface::TwipsPerPixelX() const {
    return twipsPerPixelX_;
}

double ImageSurface::TwipsPerPixelY() const {
    return twipsPerPixelY_;
}

void ImageSurface::setFont(const QFont& font) {
    font_ = font;
}

void ImageSurface::setForeColor(const QColor& color) {
    foreColor_ = color;
}

void ImageSurface::ResizeArea(int widthPx, int heightPx) {
    // Kept apart from the image: a zero-sized QImage forgets the other dimension.
    size_ = QSize(widthPx, heightPx);
    if (image_.size() == size_) {
        return;
    }
    QImage resized(widthPx, heightPx, QImage::Format_RGB32);
    resized.fill(backColor_);
    if (!image_.isNull() && !resized.isNull()) {
        QPainter(&resized).drawImage(0, 0, image_);
    }
    image_ = std::move(resized);
}

bool SaveBitmap24(const QImage& picture, QIODevice& device) {
    return platform::WriteBitmap24(picture, device);
}

bool SaveBitmap24(const QImage& picture, const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           platform::WriteBitmap24(picture, file) && file.flush();
}

}  // namespace codigo
