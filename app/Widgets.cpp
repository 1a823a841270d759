// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Widgets.h"

#include <QPainter>

namespace app {

void StretchedImage::setImage(const QImage& image) {
    image_ = image;
    update();
}

void StretchedImage::paintEvent(QPaintEvent*) {
    if (image_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.drawImage(rect(), image_);
}

void Rule::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(0, 0, width(), 1, palette().color(QPalette::WindowText));
}

}  // namespace app
