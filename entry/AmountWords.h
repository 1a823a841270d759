// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

#include "entry/Amounts.h"

namespace entry {

// An amount as a bank teller wants it in "Son Pesos": the whole pesos in
// Spanish words with a capital first letter, then the cents as NN/100, as in
// "Mil seiscientos cincuenta con 50/100". The number stands alone ("Uno",
// "Veintiuno", "Mil uno"); only before "mil" is it short ("Veintiún mil"). `pesos` and `cents` are
// the digits of the total labels; empty when they are not an amount (the total not computed yet).
QString AmountInWords(const QString& pesos, const QString& cents);

// The amount that words typed into "Son Pesos" read as, leniently (any
// case, accents or not, extra blanks, "uno" or "un", a leading "Son pesos",
// a "pesos" after the number or after the cents, a closing ".-"), with the
// cents as NN/100 ("con" optional; none means 00). The result is in the
// form of the total labels: pesos without leading zeros, two cents digits.
// None when the words do not read as an amount at all.
std::optional<Amount> AmountFromWords(const QString& words);

// What is wrong when `words` read as an amount other than the total
// (`pesos`, `cents` as in the total labels), or cannot be read as an amount
// at all, in words that give the total's own; empty when they agree, when
// the box is blank, or when there is no total yet.
QString AmountWordsProblem(const QString& words, const QString& pesos, const QString& cents);

}  // namespace entry
