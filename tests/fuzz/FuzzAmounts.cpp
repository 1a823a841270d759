// SPDX-License-Identifier: GPL-3.0-or-later
// The contribution and the total on any text in the amount boxes: figures are always written as
// plain digits, cents always as two, and within the boxes' sizes they are right to the cent.
#include <optional>

#include "FuzzInput.h"
#include "entry/Amounts.h"
#include "entry/LeadingNumber.h"

namespace {

bool IsPlainNumber(const QString& text) {
    if (text.isEmpty() || (text.size() > 1 && text[0] == u'0')) {
        return false;
    }
    for (QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

bool IsTwoDigits(const QString& text) {
    return text.size() == 2 && text[0] >= u'0' && text[0] <= u'9' && text[1] >= u'0' &&
           text[1] <= u'9';
}

void CheckWellFormed(const entry::Amount& amount) {
    // Whole pesos as plain digits, never longer than a 64-bit count however long the input.
    FUZZ_CHECK(IsPlainNumber(amount.pesos) && amount.pesos.size() <= 20);
    FUZZ_CHECK(IsTwoDigits(amount.cents));
}

// The value the leading-number rule reads, exactly, when it has at most `digits` digits.
std::optional<__int128> Exact(const QString& text, qsizetype digits) {
    const QString number = entry::LeadingNumberText(text);
    if (number.size() > digits) {
        return std::nullopt;
    }
    return __int128{number.toLongLong()};
}

__int128 InCents(const entry::Amount& amount) {
    return __int128{amount.pesos.toLongLong()} * 100 + amount.cents.toInt();
}

void CheckContribution(const QString& pesos, const QString& cents,
                       const entry::Amount& contribution) {
    CheckWellFormed(contribution);
    // Within the payroll boxes (6 and 2 digits) the payroll passes through a 32-bit float, whose
    // rounding moves 1.5 % of it by less than a cent: one cent either side of the exact figure.
    const auto wholePesos = Exact(pesos, 6);
    const auto payrollCents = Exact(cents, 2);
    if (wholePesos && payrollCents) {
        const __int128 exact = (*wholePesos * 100 + *payrollCents) * 15 / 1000;
        const __int128 computed = InCents(contribution);
        FUZZ_CHECK(computed >= exact - 1 && computed <= exact + 1);
    }
}

void CheckTotal(const entry::Amount& contribution, const entry::Amount& surcharge,
                const entry::Amount& others) {
    const entry::Amount total = entry::ComputeTotal(contribution, surcharge, others);
    CheckWellFormed(total);
    // Sums of whole numbers that a double holds exactly come out exact, the cents carried.
    __int128 sum = 0;
    for (const entry::Amount* amount : {&contribution, &surcharge, &others}) {
        const auto pesos = Exact(amount->pesos, 15);
        const auto cents = Exact(amount->cents, 15);
        if (!pesos || !cents) {
            return;
        }
        sum += *pesos * 100 + *cents;
    }
    FUZZ_CHECK(InCents(total) == sum);
}

}  // namespace

// Lines: payroll pesos and cents, surcharge pesos and cents, other concepts pesos and cents,
// then a contribution's pesos and cents as if pasted into its labels.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = Lines(data, size, 8);
    const entry::Amount contribution = entry::ComputeContribution(lines[0], lines[1]);
    CheckContribution(lines[0], lines[1], contribution);
    const entry::Amount surcharge{lines[2], lines[3]};
    const entry::Amount others{lines[4], lines[5]};
    CheckTotal(contribution, surcharge, others);
    CheckTotal({lines[6], lines[7]}, surcharge, others);
    return 0;
}
