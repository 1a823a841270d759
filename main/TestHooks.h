// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <cstdlib>

namespace app {
class VoucherWindow;
}

// What tests and benchmarks ask of the real program through its environment;
// without those variables the program behaves as always.
namespace hooks {

// Ends the process once the watched window's first paint has been handled,
// for start-up measurements. Queued, so the paint and its flush finish first;
// no teardown, so a timer around the process stops there. Header-only: the
// empty-window baseline uses it without the rest of the program.
class QuitAfterFirstPaint : public QObject {
  public:
    using QObject::QObject;

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

// Writes every entry box's and computed label's text as "name<TAB>text"
// lines (line breaks as \n), so a test driving the real program through a
// real display can see what the voucher holds when it closes.
bool WriteStateReport(const app::VoucherWindow& window, const QString& path);

// On the window, what the environment asks for:
// - TALONARIO_EXIT_AFTER_FIRST_PAINT set: exit once it has painted (start-up benchmark);
// - TALONARIO_REPORT_ON_CLOSE=FILE: the state report written to FILE when it closes.
void InstallTestHooks(app::VoucherWindow& window);

}  // namespace hooks
