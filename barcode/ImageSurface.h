// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include "barcode/Surface.h"

class QIODevice;

namespace codigo {

// A drawing surface held in memory: the drawing area is a QImage that always persists, in
// pixel units; sizes arrive in twips and are converted with the surface's twips per pixel.
// Every member is virtual so an on-screen canvas can derive from it and follow the size.
// Text needs a QGuiApplication (any platform, offscreen included).
class ImageSurface : public Surface {
  public:
    explicit ImageSurface(double twipsPerPixelX = 15.0, double twipsPerPixelY = 15.0);

    void ClearPicture() override;
    void SetBackColor(std::uint32_t bgr) override;
    void SetAutoRedraw(bool on) override;
    void SetScaleMode(int mode) override;  // only 3, pixels
    double TextHeight(const std::string& text) override;
    void SetHeight(double twips) override;
    void SetWidth(double twips) override;
    void Line(std::int16_t flags, std::int32_t x1, std::int32_t y1, std::int32_t x2,
              std::int32_t y2, std::uint32_t bgr) override;
    double TextWidth(const std::string& text) override;
    void SetCurrentX(double x) override;
    void SetCurrentY(std::int32_t y) override;
    void Print(const std::string& text) override;
    void KeepImageAsPicture() override;
    double TwipsPerPixelX() const override;
    double TwipsPerPixelY() const override;

    // The stored picture; null until KeepImageAsPicture.
    const QImage& picture() const { return picture_; }
    // The drawing area as drawn so far.
    const QImage& image() const { return image_; }
    bool autoRedraw() const { return autoRedraw_; }

    // Font and colour of printed text. Default: Liberation Sans, 11 pixels, black, aliased.
    const QFont& font() const { return font_; }
    virtual void setFont(const QFont& font);
    const QColor& foreColor() const { return foreColor_; }
    virtual void setForeColor(const QColor& color);

  protected:
    // Changes the drawing area's size in pixels, keeping what is drawn; new parts get the
    // background colour.
    virtual void ResizeArea(int widthPx, int heightPx);

  private:
    double twipsPerPixelX_;
    double twipsPerPixelY_;
    QSize size_;  // drawing area in pixels
    QImage image_;
    QImage picture_;
    QColor backColor_ = Qt::white;
    QColor foreColor_ = Qt::black;
    QFont font_;
    bool autoRedraw_ = false;
    double currentX_ = 0;
    std::int32_t currentY_ = 0;
};

// Writes `picture` as a Windows bitmap with 24 bits per pixel. False when writing fails.
bool SaveBitmap24(const QImage& picture, QIODevice& device);
bool SaveBitmap24(const QImage& picture, const QString& path);

}  // namespace codigo
