#pragma once

#include <QString>
#include <optional>

#include "entry/Amounts.h"

namespace entry {

// An amount as a bank teller wants it in "Son Pesos": the whole pesos in
// Spanish words (masculine cardinal: "un", "veintiún") with a capital first
// letter, then the cents as NN/100, as in "Mil seiscientos cincuenta con
// 50/100". `pesos` and `cents` are the digits of the total labels; empty
// when they are not an amount (the total not computed yet).
QString AmountInWords(const QString& pesos, const QString& cents);

// The amount that words typed into "Son Pesos" read as, leniently (any
// case, accents or not, extra blanks, a "pesos" after the number), with the
// cents as NN/100 ("con" optional; none means 00). The result is in the
// form of the total labels: pesos without leading zeros, two cents digits.
// None when the words do not read as an amount at all.
std::optional<Amount> AmountFromWords(const QString& words);

// What is wrong when `words` read as an amount other than the total
// (`pesos`, `cents` as in the total labels), in words that give the total's
// own; empty when they agree, when they read as no amount at all, or when
// there is no total yet.
QString AmountWordsProblem(const QString& words, const QString& pesos, const QString& cents);

// An amount as written on the command line, and what it reads as.
struct WrittenAmount {
    enum class Reading {
        Amount,     // `amount` holds it
        Ambiguous,  // "1.000", "1,000": thousands or decimals, it cannot tell
        Invalid,
    };
    Reading reading = Reading::Invalid;
    // Pesos as written (leading zeros kept, group points removed) and the
    // cents as two digits, or empty when none were written.
    Amount amount;
};

// "1000", "1000,5", "1000.05", ",50", and the Argentine grouped form
// "100.000,50" or "1.000.000". One point or comma followed by exactly three
// digits could mean thousands or decimals and is Ambiguous.
WrittenAmount ReadWrittenAmount(const QString& text);

// The forms ReadWrittenAmount accepts, for the message that refuses others.
QString AcceptedAmountForms();

}  // namespace entry
