// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <optional>

namespace paycode {

// The refusals of a payment code, in the order the entries are checked.
enum class Refusal { Cuit, Payroll, Month, Year };

struct RefusalMessage {
    QString text;
    QString title;
};
RefusalMessage MessageFor(Refusal refusal);

// The entries that validation reads, and the six amount boxes it may fill,
// in the order they are filled: surcharge, surcharge cents, other concepts,
// other concepts cents, payroll, payroll cents.
struct ValidationInput {
    QString cuit;
    QString payroll;
    QString month;
    QString year;
    std::array<QString, 6> amounts;
};

struct ValidationResult {
    std::optional<Refusal> refusal;  // the first check that failed, if any
    std::array<QString, 6> amounts;  // the amount boxes' texts afterwards
};

// Checks C.U.I.T. length, payroll, month and year in that order and stops at
// the first failure. Empty amount boxes get "00" once the payroll check has
// passed, so a later month or year refusal still leaves them filled.
ValidationResult ValidateFields(const ValidationInput& input);

}  // namespace paycode
