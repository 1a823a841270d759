// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SurchargeAction.h"

#include <QAction>
#include <QLineEdit>

#include "app/KeyEvents.h"
#include "app/VoucherWindow.h"

namespace app {

namespace {

const QString kPesosBox = QStringLiteral("txtRecargo");
const QString kCentsBox = QStringLiteral("txtRecargoDec");

KeyFilter* FilterOf(QWidget* box) {
    return box->findChild<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly);
}

// Replaces the box's text with `text` put in through its key rule.
void TypeOver(QLineEdit* box, const QString& text) {
    box->selectAll();
    if (KeyFilter* filter = FilterOf(box)) {
        filter->Type(text);
    }
}

}  // namespace

SurchargeAction::SurchargeAction(VoucherWindow& window, platform::Platform& platform)
    : QObject(&window),
      window_(window),
      platform_(platform),
      action_(new QAction(QStringLiteral("Calcular recargo…"), &window)) {
    action_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    action_->setShortcutContext(Qt::WindowShortcut);
    window_.addAction(action_);
    connect(action_, &QAction::triggered, this, &SurchargeAction::Open);
    for (const QString& name : {kPesosBox, kCentsBox}) {
        if (KeyFilter* filter = FilterOf(window_.control(name))) {
            filter->AddMenuAction(action_);
        }
    }
}

void SurchargeAction::Open() {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    auto* pesos = window_.control<QLineEdit>(kPesosBox);
    if (!pesos->isVisible()) {
        return;
    }
    // As a click on the surcharge box would: the box being left computes
    // first, so the contribution proposed as the base is the current one.
    pesos->setFocus(Qt::ShortcutFocusReason);
    const QString contribution = window_.text(QStringLiteral("txtRetencion"));
    const QString base =
        contribution.isEmpty()
            ? QString()
            : contribution + u',' + window_.text(QStringLiteral("txtRetencionDec"));
    dialog_ = new SurchargeDialog(platform_, base, QDate::currentDate(), memory_, &window_);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &QDialog::accepted, this, [this] {
        if (dialog_ && dialog_->result()) {
            Take(*dialog_->result());
        }
    });
    dialog_->open();
}

void SurchargeAction::Take(const entry::Amount& amount) {
    TypeOver(window_.control<QLineEdit>(kPesosBox), amount.pesos);
    TypeOver(window_.control<QLineEdit>(kCentsBox), amount.cents);
    // Leaving txtRecargo computes the total, and so does leaving txtRecargoDec
    // once its two digits are there, as they are.
    window_.ComputeTotal();
}

}  // namespace app
