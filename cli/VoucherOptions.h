// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <array>

namespace cli {

// The voucher's entry boxes as command-line options (and batch columns):
// the option's name, the box it is typed into, and its help.
struct TextOption {
    const char* name;
    const char* box;
    const char* help;
};

// clang-format off
inline constexpr std::array kTextOptions{
    TextOption{"establecimiento", "txtNombre", "Establecimiento"},
    TextOption{"calle", "txtCalle", "Calle y número"},
    TextOption{"cp", "txtCP", "Código postal"},
    TextOption{"localidad", "txtLoc", "Localidad"},
    TextOption{"provincia", "txtPcia", "Provincia"},
    TextOption{"cuit", "txtCuit", "C.U.I.T., 11 dígitos o 20-12345678-6"},
    TextOption{"mes", "txtMes", "Mes liquidado, 1 a 12"},
    TextOption{"anio", "txtAnio", "Año liquidado"},
    TextOption{"personal", "txtCPersonal", "Cantidad de personal"},
    TextOption{"otros-desc", "txtOtrosDesc", "Descripción de otros conceptos"},
    TextOption{"cheque", "txtCheque", "Cheque o giro número"},
    TextOption{"banco", "txtBanco", "Banco del cheque"},
    TextOption{"son-pesos", "txtPesos", "Importe en letras, o «auto» para el total en letras"},
    TextOption{"dia", "Text2", "Día del depósito"},
    TextOption{"mes-deposito", "Text3", "Mes del depósito, en letras"},
    TextOption{"anio-deposito", "Text4", "Últimos dos dígitos del año del depósito"},
};

struct AmountOption {
    const char* name;
    const char* pesosBox;
    const char* centsBox;
    const char* help;
};

inline constexpr std::array kAmountOptions{
    AmountOption{"remuneracion", "txtRemuneracion", "txtRemuneracionDec", "Total de remuneración"},
    AmountOption{"recargo", "txtRecargo", "txtRecargoDec", "Recargo actualizado de intereses"},
    AmountOption{"otros", "txtOtrosConceptos", "txtOtrosConceptosDec", "Otros conceptos"},
};
// clang-format on

// The check box "Efectivo".
inline constexpr const char* kCashOption = "efectivo";

// The surcharge worked out from the due date and the monthly rate in
// percent (the payment date today, the base the contribution), instead of
// "recargo" given as an amount.
inline constexpr const char* kSurchargeFromOption = "recargo-desde";
inline constexpr const char* kRateOption = "tasa";

// Makes the remarks beside the voucher's validation (check digit, amount in
// words) refusals instead of warnings.
inline constexpr const char* kStrictOption = "estricto";

// Prints the voucher's two copies (with --lote, every voucher's), on the
// default printer or the CUPS queue the second option names.
inline constexpr const char* kPrintOption = "imprimir";
inline constexpr const char* kPrinterOption = "impresora";

// The value of "son-pesos" that asks for the total in words.
inline constexpr const char* kWordsFromTotal = "auto";

// Every option a voucher takes, the cash box included.
inline QStringList VoucherOptionNames() {
    QStringList names;
    for (const TextOption& option : kTextOptions) {
        names << QString::fromUtf8(option.name);
    }
    for (const AmountOption& option : kAmountOptions) {
        names << QString::fromUtf8(option.name);
    }
    names << QString::fromUtf8(kCashOption);
    names << QString::fromUtf8(kSurchargeFromOption) << QString::fromUtf8(kRateOption);
    return names;
}

}  // namespace cli
