// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "entry/Amounts.h"

namespace entry {

// The late-payment surcharge as simple interest:
//
//     surcharge = base × rate ÷ 100 × days ÷ 30
//
// with the base in cents, the monthly rate in ten-thousandths of a percent
// and the days late, worked out exactly in integers (no floating point) and
// rounded once, at the end, to the nearest cent, a half cent away from zero
// (up, as every figure is positive): 0,5 cents gives 1 cent, 0,49998 gives 0.

// The largest surcharge the Recargo boxes take, 9.999,99, in cents.
inline constexpr qint64 kSurchargeLimitCents = 999999;

// A date as AAAA-MM-DD ("2026-05-10") or DD/MM/AAAA ("10/05/2026", the day
// and month may be one digit: "1/5/2026"), blanks around it allowed. Only
// dates of the calendar: 31/04 or 29/02 of a year that is not a leap year
// are refused.
struct DateReading {
    std::optional<QDate> date;
    QString refusal;  // why not, when `date` is empty
};
DateReading ReadSurchargeDate(const QString& text);

// The monthly rate in percent: "3", "3,5" or "3.5" (a point and a comma
// both mark decimals, as a rate is never written with thousands), up to
// four decimals and 999 whole, optionally followed by "%" ("3,5 %"). The
// value is in ten-thousandths of a percent: "3,5" is 35000.
struct NumberReading {
    std::optional<qint64> value;
    QString refusal;
};
NumberReading ReadMonthlyRate(const QString& text);

// The base as the program reads any amount (entry/WrittenAmount.h: "1500",
// "1500,25", "1500.25", "1.500,25"), up to 999.999,99, the payroll's
// limit; in cents.
NumberReading ReadSurchargeBase(const QString& text);

struct SurchargeTerms {
    QDate due;
    QDate paid;
    qint64 rate = 0;  // ten-thousandths of a percent
    qint64 baseCents = 0;
};

struct Surcharge {
    qint64 days = 0;   // days late; 0 when paid on or before the due date
    QString remark;    // says so when it was not late
    qint64 cents = 0;  // the rounded result (meaningless when overLimit)
    bool overLimit = false;
    QString refusal;  // set when overLimit: nothing is to be typed
    Amount amount;    // the result as the Recargo boxes take it: "17", "50"
    QString formula;  // "1.500,00 × 3,5 ÷ 100 × 10 ÷ 30 = 17,50"
};
Surcharge ComputeSurcharge(const SurchargeTerms& terms);

// "1.500,00" for 150000 cents.
QString FormatCents(qint64 cents);
// "3,5" for 35000, "3" for 30000.
QString FormatRate(qint64 rate);

}  // namespace entry
