// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace entry {

// How the voucher reads a box or label as a number: leading blanks are
// skipped and the longest leading run of digits is taken; anything else
// (empty, a sign, a letter first) reads as 0. Every number read in the
// program goes through here, so pasted text can never yield garbage.

// The leading run of digits itself, possibly empty, leading zeros kept.
QString LeadingDigits(const QString& text);

// 2^53: every whole number up to it is exact in a double, and a sum of a
// few such numbers still converts to a 64-bit integer.
inline constexpr double kLeadingNumberLimit = 9007199254740992.0;

// The run's value, saturating at kLeadingNumberLimit (a run of 400 digits
// reads as the limit, never as infinity).
double LeadingNumber(const QString& text);

// The run as a whole number written without leading zeros; "0" for none.
QString LeadingNumberText(const QString& text);

// Removes blanks (the space character only) at both ends.
QString TrimBlanks(const QString& text);

}  // namespace entry
