// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Placement.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace app {

namespace {
// The start of a span of `length` centred in [start, start + room), never
// before `start`.
int CentredStart(int start, int room, int length) {
    return start + std::max(0, (room - length) / 2);
}
}  // namespace

QPoint PlaceWindow(const QRect& available, const QSize& size) {
    const int x = size.width() > available.width()
                      ? available.left() + available.width() - size.width()
                      : CentredStart(available.left(), available.width(), size.width());
    return {x, CentredStart(available.top(), available.height(), size.height())};
}

ScreenPlacement::ScreenPlacement(QWidget* window) : QObject(window), window_(window) {
    window_->installEventFilter(this);
    Place();
}

bool ScreenPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
            case QEvent::Show:
                Place();
                // The frame may come with the first events after showing.
                QTimer::singleShot(0, this, &ScreenPlacement::Place);
                break;
            case QEvent::Move:
            case QEvent::Resize:
                Place();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ScreenPlacement::Place() {
    const QSize outer = window_->frameGeometry().size();
    QScreen* screen = window_->screen();
    if (outer == placedFor_ || !screen) {
        return;
    }
    placedFor_ = outer;
    window_->move(PlaceWindow(screen->availableGeometry(), outer));
}

}  // namespace app
