// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "barcode/ImageSurface.h"

namespace app {

// The window's barcode canvas: an in-memory drawing surface that is also a
// child widget, taking the size the drawing sets and showing the drawing.
class Canvas : public QWidget, public codigo::ImageSurface {
    Q_OBJECT
  public:
    explicit Canvas(QWidget* parent) : QWidget(parent) {}

    void KeepImageAsPicture() override;

  protected:
    void ResizeArea(int widthPx, int heightPx) override;
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace app
