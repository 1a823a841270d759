// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VoucherRecord.h"

#include <QCheckBox>

#include "app/EntryNotices.h"
#include "app/Layout.h"
#include "app/VoucherWindow.h"
#include "entry/LeadingNumber.h"

namespace app {

namespace {

const QString kCheck = QStringLiteral("Check1");

bool IsEntryBox(const Control& row) {
    return row.kind == Kind::Entry || row.kind == Kind::MultiEntry;
}

// "1234,56" from the pesos and cents labels; empty while nothing is computed.
QString Figure(const VoucherWindow& window, const char* pesos, const char* cents) {
    const QString whole = window.text(QString::fromUtf8(pesos));
    const QString decimals = window.text(QString::fromUtf8(cents));
    if (whole.isEmpty() && decimals.isEmpty()) {
        return {};
    }
    return whole + QLatin1Char(',') + decimals;
}

void SetFigure(VoucherWindow& window, const QString& figure, const char* pesos, const char* cents) {
    const qsizetype comma = figure.lastIndexOf(QLatin1Char(','));
    window.setText(QString::fromUtf8(pesos), comma < 0 ? figure : figure.left(comma));
    window.setText(QString::fromUtf8(cents), comma < 0 ? QString() : figure.mid(comma + 1));
}

}  // namespace

history::Voucher VoucherOf(const VoucherWindow& window) {
    history::Voucher voucher;
    for (const Control& row : VoucherControls()) {
        if (IsEntryBox(row)) {
            const QString name = QString::fromUtf8(row.name);
            voucher.boxes.insert(name, window.text(name));
        }
    }
    const auto* check = window.control<QCheckBox>(kCheck);
    voucher.boxes.insert(kCheck,
                         check && check->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    voucher.contribution = Figure(window, "txtRetencion", "txtRetencionDec");
    voucher.total = Figure(window, "txtTotal", "TXTtotalDec");
    voucher.paymentCode = entry::TrimBlanks(window.text(QStringLiteral("Text1")));
    voucher.version = QStringLiteral(TALONARIO_VERSION);
    return voucher;
}

void FillWindow(VoucherWindow& window, const history::Voucher& voucher) {
    for (const Control& row : VoucherControls()) {
        if (IsEntryBox(row)) {
            const QString name = QString::fromUtf8(row.name);
            window.setText(name, voucher.boxes.value(name));
        }
    }
    if (auto* check = window.control<QCheckBox>(kCheck)) {
        check->setChecked(voucher.boxes.value(kCheck) == QLatin1String("1"));
    }
    // The figures as they were shown, not computed again: what left is what
    // comes back, whatever the computation of a later version.
    SetFigure(window, voucher.contribution, "txtRetencion", "txtRetencionDec");
    SetFigure(window, voucher.total, "txtTotal", "TXTtotalDec");
    window.notices().TotalChanged();
}

}  // namespace app
