// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Canvas.h"

#include <QPainter>

namespace app {

void Canvas::KeepImageAsPicture() {
    ImageSurface::KeepImageAsPicture();
    update();
}

void Canvas::ResizeArea(int widthPx, int heightPx) {
    ImageSurface::ResizeArea(widthPx, heightPx);
    resize(widthPx, heightPx);
}

void Canvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, image());
}

}  // namespace app
