// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace paycode {

// The check digit that ten C.U.I.T. digits call for under the mod-11 rule
// (weights 5 4 3 2 7 6 5 4 3 2; 11 gives 0). None when the rule gives 10:
// no C.U.I.T. begins with those ten digits. `firstTen` must be ten digits.
std::optional<int> CuitCheckDigit(QStringView firstTen);

// What is wrong with the check digit of a C.U.I.T. of 11 digits, in words
// that say what the digit should be; empty when it is right. Empty too for
// any other text: its length is the voucher's own validation's business.
QString CuitCheckProblem(const QString& cuit);

// The usual written form "20-12345678-6" as its 11 digits; any other text
// comes back unchanged.
QString CuitFromWrittenForm(const QString& text);

// The forms a C.U.I.T. may be given in, for the message that refuses others.
QString AcceptedCuitForms();

// Eleven digits in the usual written form "20-12345678-6"; any other text
// comes back unchanged.
QString CuitWrittenForm(const QString& digits);

}  // namespace paycode
