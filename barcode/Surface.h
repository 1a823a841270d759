// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace codigo {

// What the barcode drawing needs from a picture surface. The window's canvas
// and an in-memory image both implement it; the drawing knows nothing else.
// Coordinates are pixels once the scale mode is 3; sizes are set in twips.
class Surface {
  public:
    virtual ~Surface() = default;

    virtual void ClearPicture() = 0;                   // Picture = nothing
    virtual void SetBackColor(std::uint32_t bgr) = 0;  // &H00BBGGRR; clears the drawing
    virtual void SetAutoRedraw(bool on) = 0;           // drawing goes to a persistent image
    virtual void SetScaleMode(int mode) = 0;           // 3 = pixels
    virtual double TextHeight(const std::string& text) = 0;
    virtual void SetHeight(double twips) = 0;  // outer height
    virtual void SetWidth(double twips) = 0;   // outer width
    // Paints the segment (x1,y1)-(x2,y2), both end points included, one pixel wide.
    virtual void Line(std::int16_t flags, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                      std::int32_t y2, std::uint32_t bgr) = 0;
    virtual double TextWidth(const std::string& text) = 0;
    virtual void SetCurrentX(double x) = 0;
    virtual void SetCurrentY(std::int32_t y) = 0;
    virtual void Print(const std::string& text) = 0;  // at CurrentX, CurrentY
    virtual void KeepImageAsPicture() = 0;            // Picture = Image

    // Screen metrics: twips per pixel of the display the surface belongs to.
    virtual double TwipsPerPixelX() const = 0;
    virtual double TwipsPerPixelY() const = 0;
};

// A surface that draws nothing: lets the encoder run its drawing path when
// only the symbol values are wanted. Override what you want to observe.
class DiscardingSurface : public Surface {
  public:
    void ClearPicture() override {}
    void SetBackColor(std::uint32_t) override {}
    void SetAutoRedraw(bool) override {}
    void SetScaleMode(int) override {}
    double TextHeight(const std::string&) override { return 0; }
    void SetHeight(double) override {}
    void SetWidth(double) override {}
    void Line(std::int16_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
              std::uint32_t) override {}
    double TextWidth(const std::string&) override { return 0; }
    void SetCurrentX(double) override {}
    void SetCurrentY(std::int32_t) override {}
    void Print(const std::string&) override {}
    void KeepImageAsPicture() override {}
    double TwipsPerPixelX() const override { return 15; }
    double TwipsPerPixelY() const override { return 15; }
};

}  // namespace codigo
