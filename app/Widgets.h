// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

namespace app {

// The image control: stretches its picture to its rectangle pixel for pixel
// (nearest neighbour), so barcode bars stay black and white, never grey.
class StretchedImage : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

// A one-pixel horizontal rule in the window-text colour.
class Rule : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace app
