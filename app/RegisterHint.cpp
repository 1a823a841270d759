// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RegisterHint.h"

#include <QAction>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <array>
#include <optional>

#include "app/EntryNotices.h"
#include "app/KeyEvents.h"
#include "app/VoucherWindow.h"
#include "history/Store.h"

namespace app {

namespace {

// The employer boxes and where the register keeps each one's text.
struct EmployerBox {
    const char* name;
    QString history::Employer::*field;
};
const std::array<EmployerBox, 5> kEmployerBoxes{{
    {"txtNombre", &history::Employer::establecimiento},
    {"txtCalle", &history::Employer::calle},
    {"txtCP", &history::Employer::cp},
    {"txtLoc", &history::Employer::localidad},
    {"txtPcia", &history::Employer::provincia},
}};

const QKeySequence kFillKeys(Qt::CTRL | Qt::Key_E);

}  // namespace

const QString& RegisterHint::Text() {
    static const QString text =
        QStringLiteral("Datos guardados de esta C.U.I.T.: Ctrl+E los completa");
    return text;
}

RegisterHint::RegisterHint(VoucherWindow& window, EntryNotices& notices)
    : QObject(&window),
      window_(window),
      notices_(notices),
      cuit_(window.control<QLineEdit>(QStringLiteral("txtCuit"))),
      fill_(
          new QAction(QStringLiteral("Completar los datos guardados de esta C.U.I.T."), &window)) {
    fill_->setShortcut(kFillKeys);
    fill_->setShortcutContext(Qt::WindowShortcut);
    fill_->setEnabled(false);  // until there is a register to ask
    window.addAction(fill_);
    connect(fill_, &QAction::triggered, this, [this] { FillEmployer(); });
    if (auto* filter = cuit_->findChild<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly)) {
        filter->AddMenuAction(fill_);
    }
    connect(cuit_, &QLineEdit::textChanged, this, &RegisterHint::CuitChanged);
    cuit_->installEventFilter(this);
    for (const EmployerBox& box : kEmployerBoxes) {
        connect(window.control<QLineEdit>(QString::fromUtf8(box.name)), &QLineEdit::textChanged,
                this, [this] {
                    if (!shown_.isEmpty() && !EmployerBoxesEmpty()) {
                        Show({});
                    }
                });
    }
    // The entry boxes would take Ctrl+E as "end of line" on X11, wherever
    // the focus is when the offer is taken.
    for (QWidget* box : window.findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(box) || qobject_cast<QPlainTextEdit*>(box)) {
            box->installEventFilter(this);
        }
    }
}

void RegisterHint::setStore(history::Store* store) {
    store_ = store;
    fill_->setEnabled(store_ != nullptr);
    if (!store_) {
        Show({});
    }
}

bool RegisterHint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->keyCombination() == kFillKeys[0] && fill_->isEnabled()) {
        return true;  // left unaccepted: the shortcut takes it
    }
    if (watched == cuit_ && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // As the voucher's own leave actions: a menu or another application
        // taking the focus is not the box being left.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            CuitLeft();
        }
    }
    return QObject::eventFilter(watched, event);
}

bool RegisterHint::EmployerBoxesEmpty() const {
    for (const EmployerBox& box : kEmployerBoxes) {
        if (!window_.text(QString::fromUtf8(box.name)).isEmpty()) {
            return false;
        }
    }
    return true;
}

void RegisterHint::CuitLeft() {
    if (!store_ || cuit_->text().isEmpty() || !EmployerBoxesEmpty()) {
        Show({});
        return;
    }
    std::optional<history::Employer> employer;
    try {
        employer = store_->FindEmployer(cuit_->text());
    } catch (const std::exception&) {
        // An offer only: a register out of reach makes none, and says so
        // when the data are asked for.
    }
    Show(employer ? cuit_->text() : QString());
}

void RegisterHint::CuitChanged() {
    if (!shown_.isEmpty() && cuit_->text() != hintedCuit_) {
        Show({});
    }
}

void RegisterHint::Show(const QString& cuit) {
    hintedCuit_ = cuit;
    const QString text = cuit.isEmpty() ? QString() : Text();
    if (text == shown_) {
        return;
    }
    shown_ = text;
    notices_.SetCuitHint(text);
}

bool RegisterHint::FillEmployer() {
    if (!store_) {
        return false;
    }
    std::optional<history::Employer> employer;
    try {
        employer = store_->FindEmployer(cuit_->text());
    } catch (const std::exception&) {
        return false;
    }
    if (!employer) {
        return false;
    }
    // Typed as a paste types, so each box's rule (capitals, digits only)
    // holds for what the register brings; text already typed stays.
    for (const EmployerBox& box : kEmployerBoxes) {
        QWidget* widget = window_.control(QString::fromUtf8(box.name));
        auto* filter = widget->findChild<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly);
        if (!filter || !TextOf(widget).isEmpty()) {
            continue;
        }
        filter->Type((*employer).*box.field);
    }
    Show({});
    return true;
}

}  // namespace app
