// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SurchargeDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "entry/Surcharge.h"

namespace app {

namespace {

const QString kDateHint = QStringLiteral("AAAA-MM-DD o DD/MM/AAAA");

QLineEdit* Entry(const QString& objectName, const QString& accessibleName, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setAccessibleName(accessibleName);
    return box;
}

QLabel* Output(const QString& objectName, const QString& accessibleName, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setAccessibleName(accessibleName);
    label->setTextFormat(Qt::PlainText);  // what the user typed is shown, never interpreted
    label->setWordWrap(true);
    // Reachable by Tab for a screen reader, and its text can be copied.
    label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    return label;
}

QString Capitalised(const QString& text) {
    return text.isEmpty() ? text : text.front().toUpper() + text.mid(1);
}

}  // namespace

SurchargeDialog::SurchargeDialog(platform::Platform& platform, const QString& base,
                                 const QDate& today, const RateMemory& memory, QWidget* parent)
    : QDialog(parent), platform_(platform), memory_(memory) {
    setObjectName(QStringLiteral("SurchargeDialog"));
    setWindowTitle(QStringLiteral("Calcular recargo"));
    setAccessibleName(windowTitle());

    due_ = Entry(QStringLiteral("vencimiento"), QStringLiteral("Fecha de vencimiento"), this);
    due_->setPlaceholderText(kDateHint);
    paid_ = Entry(QStringLiteral("fechaPago"), QStringLiteral("Fecha de pago"), this);
    paid_->setPlaceholderText(kDateHint);
    paid_->setText(today.toString(QStringLiteral("dd/MM/yyyy")));
    rate_ = Entry(QStringLiteral("tasa"), QStringLiteral("Tasa mensual en por ciento"), this);
    base_ = Entry(QStringLiteral("base"), QStringLiteral("Base del recargo"), this);
    base_->setText(base);
    days_ = Output(QStringLiteral("diasAtraso"), QStringLiteral("Días de atraso"), this);
    formula_ = Output(QStringLiteral("calculo"), QStringLiteral("Cálculo"), this);
    formula_->setWordWrap(false);  // one line, as it is read
    outcome_ = Output(QStringLiteral("recargo"), QStringLiteral("Recargo calculado"), this);

    // A memory that fails proposes nothing; the user types the rate.
    if (memory_.last) {
        try {
            rate_->setText(memory_.last());
        } catch (const std::exception&) {
        }
    }

    auto* form = new QFormLayout;
    const auto row = [form](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(QStringLiteral("&Vencimiento:"), due_);
    row(QStringLiteral("Fecha de &pago:"), paid_);
    row(QStringLiteral("&Tasa mensual (%):"), rate_);
    row(QStringLiteral("&Base (contribución):"), base_);
    row(QStringLiteral("Días de atraso:"), days_);
    form->addRow(QStringLiteral("Interés simple:"),
                 new QLabel(QStringLiteral("base × tasa ÷ 100 × días ÷ 30"), this));
    row(QStringLiteral("Cálculo:"), formula_);
    row(QStringLiteral("Recargo:"), outcome_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* accept =
        buttons->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    accept->setObjectName(QStringLiteral("aceptar"));
    accept->setAccessibleName(QStringLiteral("Aceptar: escribir el recargo en el comprobante"));
    accept->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelar"));
    cancel->setAccessibleName(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SurchargeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SurchargeDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    setTabOrder(due_, paid_);
    setTabOrder(paid_, rate_);
    setTabOrder(rate_, base_);
    setTabOrder(base_, days_);
    setTabOrder(days_, formula_);
    setTabOrder(formula_, outcome_);
    setTabOrder(outcome_, accept);
    setTabOrder(accept, cancel);

    for (QLineEdit* box : {due_, paid_, rate_, base_}) {
        connect(box, &QLineEdit::textChanged, this, &SurchargeDialog::Recompute);
    }
    Recompute();
    due_->setFocus();
}

void SurchargeDialog::Show(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleDescription(text);
}

void SurchargeDialog::Recompute() {
    result_.reset();
    const entry::DateReading due = entry::ReadSurchargeDate(due_->text());
    const entry::DateReading paid = entry::ReadSurchargeDate(paid_->text());
    const entry::NumberReading rate = entry::ReadMonthlyRate(rate_->text());
    const entry::NumberReading base = entry::ReadSurchargeBase(base_->text());
    // The first field that does not read, named as its caption names it.
    const std::pair<const char*, QString> refusals[] = {{"Vencimiento", due.refusal},
                                                        {"Fecha de pago", paid.refusal},
                                                        {"Tasa", rate.refusal},
                                                        {"Base", base.refusal}};
    problem_.clear();
    for (const auto& [field, refusal] : refusals) {
        if (!refusal.isEmpty()) {
            problem_ = QString::fromUtf8(field) + QStringLiteral(": ") + refusal;
            break;
        }
    }
    if (due.date && paid.date) {
        const qint64 late = due.date->daysTo(*paid.date);
        Show(days_, late > 0
                        ? QString::number(late)
                        : QStringLiteral("0 (") +
                              entry::ComputeSurcharge({*due.date, *paid.date, 0, 0}).remark + u')');
    } else {
        Show(days_, QString());
    }
    if (!problem_.isEmpty()) {
        Show(formula_, QString());
        Show(outcome_, problem_);
        return;
    }
    const entry::Surcharge surcharge =
        entry::ComputeSurcharge({*due.date, *paid.date, *rate.value, *base.value});
    Show(formula_, surcharge.formula);
    if (surcharge.overLimit) {
        problem_ = Capitalised(surcharge.refusal);
        Show(outcome_, problem_);
        return;
    }
    Show(outcome_, surcharge.amount.pesos + u',' + surcharge.amount.cents);
    result_ = surcharge.amount;
    rateText_ = entry::FormatRate(*rate.value);
}

void SurchargeDialog::accept() {
    Recompute();
    if (!result_) {
        platform_.ShowMessage(this, {QStringLiteral("Calcular recargo"),
                                     problem_ + QStringLiteral(". No se escribió ningún recargo."),
                                     platform::Icon::Information, platform::Buttons::Ok});
        return;
    }
    // A memory that fails keeps nothing; the surcharge is still typed.
    if (memory_.remember) {
        try {
            memory_.remember(rateText_);
        } catch (const std::exception&) {
        }
    }
    QDialog::accept();
}

}  // namespace app
