// SPDX-License-Identifier: GPL-3.0-or-later
#include "paycode/Validation.h"

#include "entry/LeadingNumber.h"

namespace paycode {

using entry::LeadingNumber;
using entry::TrimBlanks;

RefusalMessage MessageFor(Refusal refusal) {
    switch (refusal) {
        case Refusal::Cuit:
            return {QStringLiteral("El C.U.I.T. debe tener 11 Números"),
                    QStringLiteral("Liquidor")};
        case Refusal::Payroll:
            return {QStringLiteral("Debe ingresar la Remuneración obtenida"),
                    QStringLiteral("Liquidor")};
        case Refusal::Month:
            return {QStringLiteral("El mes ingresado es incorrecto"), QStringLiteral("Error")};
        case Refusal::Year:
            return {QStringLiteral("El año ingresado es incorrecto"), QStringLiteral("Error")};
    }
    return {};
}

ValidationResult ValidateFields(const ValidationInput& input) {
    ValidationResult result{std::nullopt, input.amounts};
    if (TrimBlanks(input.cuit).size() != 11) {
        result.refusal = Refusal::Cuit;
        return result;
    }
    if (!(LeadingNumber(input.payroll) > 0)) {
        result.refusal = Refusal::Payroll;
        return result;
    }
    for (QString& amount : result.amounts) {
        if (TrimBlanks(amount).isEmpty()) {
            amount = QStringLiteral("00");
        }
    }
    if (LeadingNumber(TrimBlanks(input.month)) == 0) {
        result.refusal = Refusal::Month;
    } else if (!(LeadingNumber(input.year) > 1990)) {
        result.refusal = Refusal::Year;
    }
    return result;
}

}  // namespace paycode
