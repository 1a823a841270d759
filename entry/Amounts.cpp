// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/Amounts.h"

#include <cmath>

#include "entry/LeadingNumber.h"

namespace entry {

namespace {
// Cents as two digits; values above 99 only reach here from pasted text.
QString TwoDigits(long long cents) {
    return cents < 10 ? QStringLiteral("0") + QString::number(cents) : QString::number(cents);
}
}  // namespace

Amount ComputeContribution(const QString& payrollPesos, const QString& payrollCents) {
    const double cents = LeadingNumber(payrollCents);
    const double pesos = LeadingNumber(TrimBlanks(payrollPesos));
    const float amount =
        cents > 0 ? static_cast<float>(pesos + cents / 100) : static_cast<float>(pesos);
    const double t = static_cast<double>(amount) * 1.5 / 100;
    const double whole = std::trunc(t);
    const auto thousandths = static_cast<long long>((t - whole) * 1000);
    return {QString::number(static_cast<long long>(whole)), TwoDigits(thousandths / 10)};
}

Amount ComputeTotal(const Amount& contribution, const Amount& surcharge, const Amount& others) {
    const auto cents =
        static_cast<long long>(LeadingNumber(others.cents) + LeadingNumber(surcharge.cents) +
                               LeadingNumber(contribution.cents));
    const auto pesos =
        static_cast<long long>(LeadingNumber(others.pesos) + LeadingNumber(surcharge.pesos) +
                               LeadingNumber(contribution.pesos));
    return {QString::number(pesos + cents / 100), TwoDigits(cents % 100)};
}

QString PadZeros(const QString& text, std::uint8_t width,
                 const std::function<void()>& processEvents) {
    QString padded = TrimBlanks(text);
    while (padded.size() < width) {
        if (processEvents) {
            processEvents();
        }
        padded.prepend(u'0');
    }
    return padded;
}

}  // namespace entry
