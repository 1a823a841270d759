// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include "app/SurchargeDialog.h"

class QAction;

namespace app {

class VoucherWindow;

// The surcharge helper on the voucher window: Ctrl+R (and an entry at the
// end of the Recargo boxes' context menus) opens the dialog; Aceptar types
// its result into txtRecargo and txtRecargoDec through their key rules, as
// typing or pasting would, and recomputes the total as leaving them does.
class SurchargeAction : public QObject {
    Q_OBJECT
  public:
    SurchargeAction(VoucherWindow& window, platform::Platform& platform);

    QAction* action() const { return action_; }
    // Where the last rate used is kept; nothing by default.
    void SetRateMemory(RateMemory memory) { memory_ = std::move(memory); }

    // Opens the dialog, window-modal, unless one is open already (it comes
    // to the front) or the boxes are not shown (a print run is on).
    void Open();
    // The dialog while it is open, else null.
    SurchargeDialog* dialog() const { return dialog_; }

  private:
    void Take(const entry::Amount& amount);

    VoucherWindow& window_;
    platform::Platform& platform_;
    QAction* action_;
    RateMemory memory_;
    QPointer<SurchargeDialog> dialog_;
};

}  // namespace app
