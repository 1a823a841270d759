// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/SurchargeFill.h"

#include <QCoreApplication>
#include <QDate>
#include <QFocusEvent>
#include <QLineEdit>

#include "app/VoucherWindow.h"
#include "cli/VoucherOptions.h"
#include "entry/Surcharge.h"
#include "platform/Files.h"

namespace cli {

namespace {

// An option as a message names it: "--tasa", or the column "tasa" in a batch.
QString Named(const VoucherValues& input, const QString& name) {
    return input.columnNames ? name : QStringLiteral("--") + name;
}

// A value given and not blank: a batch's empty cell is no value.
QString Given(const VoucherValues& input, const char* name) {
    return input.values.value(QString::fromUtf8(name)).trimmed();
}

}  // namespace

std::optional<QString> CheckSurchargeOptions(const VoucherValues& input) {
    const QString from = QString::fromUtf8(kSurchargeFromOption);
    const QString rate = QString::fromUtf8(kRateOption);
    const bool fromGiven = !Given(input, kSurchargeFromOption).isEmpty();
    const bool rateGiven = !Given(input, kRateOption).isEmpty();
    if (!fromGiven && !rateGiven) {
        return std::nullopt;
    }
    if (!Given(input, "recargo").isEmpty()) {
        return QStringLiteral("%1 no va con %2: el recargo se calcula o se escribe, no ambos")
            .arg(Named(input, fromGiven ? from : rate), Named(input, QStringLiteral("recargo")));
    }
    if (!fromGiven || !rateGiven) {
        return QStringLiteral("%1 va con %2")
            .arg(Named(input, fromGiven ? from : rate), Named(input, fromGiven ? rate : from));
    }
    return std::nullopt;
}

std::optional<QString> TypeSurcharge(app::VoucherWindow& window, const VoucherValues& input,
                                     QStringList& notes, const TypeIntoBox& type) {
    if (Given(input, kSurchargeFromOption).isEmpty()) {
        return std::nullopt;
    }
    const QString from = QString::fromUtf8(kSurchargeFromOption);
    const QString rateName = QString::fromUtf8(kRateOption);
    const auto refuse = [&input](const QString& name, const QString& why) {
        return Named(input, name) + QStringLiteral(": ") + platform::Printable(why);
    };
    const entry::DateReading due = entry::ReadSurchargeDate(Given(input, kSurchargeFromOption));
    if (!due.date) {
        return refuse(from, due.refusal);
    }
    const entry::NumberReading rate = entry::ReadMonthlyRate(Given(input, kRateOption));
    if (!rate.value) {
        return refuse(rateName, rate.refusal);
    }
    const entry::NumberReading base =
        entry::ReadSurchargeBase(window.text(QStringLiteral("txtRetencion")) + u',' +
                                 window.text(QStringLiteral("txtRetencionDec")));
    if (!base.value) {
        return refuse(from,
                      QStringLiteral(
                          "sin remuneración no hay contribución sobre la que calcular el recargo"));
    }
    const QDate today = QDate::currentDate();
    const entry::Surcharge surcharge =
        entry::ComputeSurcharge({*due.date, today, *rate.value, *base.value});
    if (surcharge.overLimit) {
        return Named(input, from) + QStringLiteral(" y ") + Named(input, rateName) +
               QStringLiteral(": ") + surcharge.refusal + QStringLiteral(" (") + surcharge.formula +
               u')';
    }
    for (const auto& [box, part] : {std::pair{"txtRecargo", surcharge.amount.pesos},
                                    {"txtRecargoDec", surcharge.amount.cents}}) {
        // Typed over what leaving the empty boxes left there ("00").
        window.control<QLineEdit>(QString::fromUtf8(box))->selectAll();
        if (auto error = type(box, part)) {
            return refuse(from, *error);
        }
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(window.control(QString::fromUtf8(box)), &leave);
    }
    notes << QStringLiteral("Recargo: %1 (%2 días de atraso al %3)")
                 .arg(surcharge.formula)
                 .arg(surcharge.days)
                 .arg(today.toString(QStringLiteral("dd/MM/yyyy")));
    if (!surcharge.remark.isEmpty()) {
        notes << surcharge.remark;
    }
    return std::nullopt;
}

}  // namespace cli
