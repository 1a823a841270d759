#pragma once

#include <QString>

namespace entry {

// How the voucher reads a box or label as a number: leading blanks are
// skipped and the longest leading run of digits is taken; anything else
// (empty, a sign, a letter first) reads as 0. Every number read in the
// program goes through here, so pasted text can never yield garbage.

// The leading run of digits itself, possibly empty, leading zeros kept.
QString LeadingDigits(const QString& text);

// The run's value, saturating at the largest value a double holds exactly
// enough for our fields (a pasted run of 30 digits must not overflow).
double LeadingNumber(const QString& text);

// The run as a whole number written without leading zeros; "0" for none.
QString LeadingNumberText(const QString& text);

// Removes blanks (the space character only) at both ends.
QString TrimBlanks(const QString& text);

}  // namespace entry
