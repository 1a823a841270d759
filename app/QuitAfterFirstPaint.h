#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdlib>

namespace app {

// Ends the process once the watched window's first paint has been handled,
// for start-up measurements. Queued, so the paint and its flush finish first;
// no teardown, so a timer around the process stops there. Header-only: the
// empty-window baseline uses it without the rest of the program.
class QuitAfterFirstPaint : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }
};

}  // namespace app
