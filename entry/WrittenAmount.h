// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "entry/Amounts.h"

namespace entry {

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

// An amount as a spreadsheet cell holds it in a CSV: the command line's forms,
// a leading "$" (and blanks around it), and, when the file's amounts are
// known to use the comma for decimals, "100.000" as the thousands an
// Argentine spreadsheet means by it. Whatever could still mean two amounts
// ("1,000") stays Ambiguous.
WrittenAmount ReadSpreadsheetAmount(const QString& cell, bool decimalCommaKnown);

// Why `value` is refused, for a reading other than Amount, with the accepted
// forms: "«1.000» es ambiguo: puede leerse como miles o como decimales.
// Formas aceptadas: ...". The caller puts the option or column before it.
QString WrittenAmountRefusal(const QString& value, WrittenAmount::Reading reading);

}  // namespace entry
