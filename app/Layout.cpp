// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Layout.h"

#include <array>

namespace app {

namespace {
using enum Kind;
using enum Face;
using enum Filter;
using OnLeave::ContributionUnlessEmpty;
using OnLeave::PadThenContribution;
using OnLeave::PadThenTotal;
using OnLeave::Total;
constexpr auto kRight = Qt::AlignRight;
constexpr auto kCentre = Qt::AlignHCenter;

// clang-format off
constexpr std::array kControls{
    Control{.name = "Picture1", .kind = Canvas, .rect = {2040, 9420, 5895, 855}, .visible = false, .tabIndex = 82},
    Control{.name = "txtOtrosDesc", .kind = MultiEntry, .rect = {2040, 4800, 4455, 1020}, .caption = "Otros Conceptos:", .face = Arial, .ink = Ink::System, .tabIndex = 75},
    Control{.name = "Command2", .kind = Button, .rect = {8520, 4440, 1215, 495}, .caption = "IMPRIMIR", .tabIndex = 24},
    Control{.name = "cmdGuardarPdf", .kind = Button, .rect = {8520, 5040, 1215, 495}, .caption = "GUARDAR PDF"},
    Control{.name = "Text4", .kind = Entry, .rect = {4440, 7650, 495, 285}, .caption = "de 20", .align = kCentre, .tabIndex = 21, .filter = Digits},
    Control{.name = "Text3", .kind = Entry, .rect = {2880, 7680, 975, 285}, .caption = "de", .align = kCentre, .tabIndex = 20, .filter = Capitalize},
    Control{.name = "Text2", .kind = Entry, .rect = {2040, 7680, 495, 285}, .caption = "Día del depósito", .align = kCentre, .tabIndex = 19, .filter = Capitalize},
    Control{.name = "Check1", .kind = CheckBox, .rect = {2640, 6240, 255, 255}, .caption = "Efectivo", .tabIndex = 15},
    Control{.name = "txtRecargoDec", .kind = Entry, .rect = {7560, 4080, 375, 285}, .caption = "Recargo Actualizado de intereses", .maxLength = 2, .tabIndex = 12, .filter = Digits, .onLeave = PadThenTotal},
    Control{.name = "txtOtrosConceptosDec", .kind = Entry, .rect = {7560, 5520, 375, 285}, .caption = "Otros Conceptos:", .maxLength = 2, .tabIndex = 14, .filter = Digits, .onLeave = PadThenTotal},
    Control{.name = "txtRemuneracionDec", .kind = Entry, .rect = {7560, 3180, 375, 285}, .caption = "TOTAL DE REMUNERACION", .maxLength = 2, .tabIndex = 10, .filter = Digits, .onLeave = PadThenContribution},
    Control{.name = "txtPesos", .kind = MultiEntry, .rect = {2880, 6960, 4935, 675}, .caption = "Son Pesos", .tabIndex = 18, .filter = Capitalize},
    Control{.name = "txtBanco", .kind = Entry, .rect = {6360, 6510, 1695, 285}, .caption = "Banco", .align = kCentre, .tabIndex = 17, .filter = Capitalize},
    Control{.name = "txtCheque", .kind = Entry, .rect = {2880, 6510, 2415, 285}, .caption = "Cheque Nº Giro", .align = kCentre, .tabIndex = 16},
    Control{.name = "txtOtrosConceptos", .kind = Entry, .rect = {6600, 5520, 855, 285}, .caption = "Otros Conceptos:", .align = kRight, .maxLength = 4, .tabIndex = 13, .filter = Digits, .onLeave = Total},
    Control{.name = "txtRecargo", .kind = Entry, .rect = {6600, 4080, 855, 285}, .caption = "Recargo Actualizado de intereses", .align = kRight, .maxLength = 4, .tabIndex = 11, .filter = Digits, .onLeave = Total},
    Control{.name = "txtRemuneracion", .kind = Entry, .rect = {6600, 3180, 855, 285}, .caption = "TOTAL DE REMUNERACION", .align = kRight, .maxLength = 6, .tabIndex = 9, .filter = Digits, .onLeave = ContributionUnlessEmpty},
    Control{.name = "txtCPersonal", .kind = Entry, .rect = {5280, 3180, 1215, 285}, .caption = "CANTIDAD PERSONAL", .align = kCentre, .maxLength = 3, .tabIndex = 8, .filter = Digits},
    Control{.name = "txtAnio", .kind = Entry, .rect = {3840, 3180, 1215, 285}, .caption = "AÑO", .align = kCentre, .maxLength = 4, .tabIndex = 7, .filter = Digits},
    Control{.name = "txtMes", .kind = Entry, .rect = {2040, 3180, 1575, 285}, .caption = "MES LIQUIDADO", .align = kCentre, .maxLength = 2, .tabIndex = 6, .filter = Month},
    Control{.name = "txtCuit", .kind = Entry, .rect = {2760, 2325, 5175, 285}, .caption = "C.U.I.T Nº", .maxLength = 11, .tabIndex = 5, .filter = Digits},
    Control{.name = "txtPcia", .kind = Entry, .rect = {5760, 1995, 2175, 405}, .caption = "Pcia:", .align = kCentre, .tabIndex = 4, .filter = Capitalize},
    Control{.name = "txtLoc", .kind = Entry, .rect = {3720, 1995, 1575, 285}, .caption = "Loc:", .align = kCentre, .tabIndex = 3, .filter = Capitalize},
    Control{.name = "txtCP", .kind = Entry, .rect = {2280, 1995, 975, 285}, .caption = "C.P:", .align = kCentre, .tabIndex = 2, .filter = Digits},
    Control{.name = "txtCalle", .kind = Entry, .rect = {2760, 1665, 5175, 285}, .caption = "Calle y Nº:", .tabIndex = 1, .filter = Capitalize},
    Control{.name = "txtNombre", .kind = Entry, .rect = {3240, 1350, 4695, 285}, .caption = "Establecimiento:", .tabIndex = 0, .filter = Capitalize},
    Control{.name = "lblTitulo", .kind = Label, .rect = {2760, 0, 4695, 255}, .align = kCentre, .face = Arial, .points = 6.75, .ink = Ink::System},
    Control{.name = "lblNroFactura", .kind = Label, .rect = {1800, 0, 1335, 1215}, .caption = "1", .align = kCentre, .face = ArialBlack, .points = 36, .weight = 900, .visible = false, .ink = Ink::System},
    Control{.name = "Image1", .kind = Image, .rect = {1920, 9300, 6135, 1215}},
    Control{.name = "lblOtrosDesc", .kind = Label, .rect = {2040, 4800, 4455, 975}, .ink = Ink::System},
    Control{.name = "Label24(4)", .kind = Label, .rect = {7440, 6090, 135, 375}, .caption = ",", .face = Arial, .ink = Ink::System},
    Control{.name = "Label24(3)", .kind = Label, .rect = {7440, 5610, 135, 375}, .caption = ",", .face = Arial, .ink = Ink::System},
    Control{.name = "Label23", .kind = Label, .rect = {2040, 8880, 1335, 255}, .caption = "Codigo de pago:"},
    Control{.name = "Line1", .kind = Line, .rect = {5520, 8400, 2400, 0}},
    Control{.name = "lblMes", .kind = Label, .rect = {2040, 3240, 1575, 375}, .align = kCentre},
    Control{.name = "lblNombre", .kind = Label, .rect = {3240, 1320, 4695, 375}, .align = kCentre},
    Control{.name = "lblOtrosConceptos", .kind = Label, .rect = {6600, 5520, 855, 375}, .align = kRight},
    Control{.name = "lblOtrosConceptosDec", .kind = Label, .rect = {7560, 5520, 375, 375}},
    Control{.name = "lblCalle", .kind = Label, .rect = {2760, 1680, 5175, 375}, .align = kCentre},
    Control{.name = "lblLoc", .kind = Label, .rect = {3720, 2040, 1575, 255}, .align = kCentre, .face = Arial},
    Control{.name = "lblAnio", .kind = Label, .rect = {3840, 3240, 1215, 375}, .align = kCentre},
    Control{.name = "lblPcia", .kind = Label, .rect = {5760, 2040, 2175, 255}, .align = kCentre},
    Control{.name = "lblCP", .kind = Label, .rect = {2400, 2040, 855, 255}, .align = kCentre, .face = Arial},
    Control{.name = "lblCPersonal", .kind = Label, .rect = {5280, 3240, 1215, 375}, .align = kCentre},
    Control{.name = "lblRecargo", .kind = Label, .rect = {6600, 4110, 855, 375}, .align = kRight},
    Control{.name = "lblCheque", .kind = Label, .rect = {3000, 6480, 2415, 375}, .align = kCentre},
    Control{.name = "lblCUIT", .kind = Label, .rect = {2760, 2400, 5175, 375}},
    Control{.name = "lblRecargoDec", .kind = Label, .rect = {7560, 4110, 375, 375}},
    Control{.name = "lblBanco", .kind = Label, .rect = {6360, 6480, 1695, 375}, .align = kCentre},
    Control{.name = "lblRemuneracion", .kind = Label, .rect = {6600, 3240, 855, 375}, .align = kRight},
    Control{.name = "lbl3", .kind = Label, .rect = {2880, 7680, 975, 375}, .align = kCentre},
    Control{.name = "lblRemuneracionDec", .kind = Label, .rect = {7560, 3240, 375, 375}},
    Control{.name = "lblPesos", .kind = Label, .rect = {3000, 6960, 4935, 375}, .align = kCentre},
    Control{.name = "lbl4", .kind = Label, .rect = {4395, 7680, 495, 375}},
    Control{.name = "lbl2", .kind = Label, .rect = {2040, 7680, 495, 375}, .align = kCentre},
    Control{.name = "Label22", .kind = Label, .rect = {2400, 8520, 1695, 375}, .caption = "SELLAR AL DORSO", .face = Arial},
    Control{.name = "Label21", .kind = Label, .rect = {2280, 8040, 1695, 375}, .caption = "(Casa del Banco)", .face = Arial},
    Control{.name = "Label20", .kind = Label, .rect = {2040, 6240, 1695, 375}, .caption = "Efectivo", .face = Arial},
    Control{.name = "Label19", .kind = Label, .rect = {2040, 6480, 975, 375}, .caption = "Cheque Nº Giro", .face = Arial},
    Control{.name = "Label18", .kind = Label, .rect = {2040, 6960, 1695, 375}, .caption = "Son Pesos", .face = Arial},
    Control{.name = "Label17", .kind = Label, .rect = {5760, 6480, 1335, 375}, .caption = "Banco", .face = Arial},
    Control{.name = "Label16", .kind = Label, .rect = {2640, 7680, 975, 375}, .caption = "de", .face = Arial},
    Control{.name = "Label15", .kind = Label, .rect = {3960, 7680, 1695, 375}, .caption = "de 20", .face = Arial},
    Control{.name = "Label14", .kind = Label, .rect = {5760, 8520, 2295, 375}, .caption = "FIRMA DEL DEPOSITANTE", .face = Arial},
    Control{.name = "Label9(3)", .kind = Label, .rect = {5640, 6000, 1095, 375}, .caption = "Total $", .face = Arial, .points = 9.75, .weight = 700},
    Control{.name = "Label9(2)", .kind = Label, .rect = {2040, 4440, 1695, 375}, .caption = "Otros Conceptos:", .face = Arial},
    Control{.name = "Label9(1)", .kind = Label, .rect = {2040, 4080, 4815, 375}, .caption = "Recargo Actualizado de intereses", .face = Arial},
    Control{.name = "Label13", .kind = Label, .rect = {2040, 3720, 3255, 375}, .caption = "Contribuciòn Empresarial 1.5%", .face = Arial},
    Control{.name = "Label12", .kind = Label, .rect = {2040, 2040, 615, 375}, .caption = "C.P:", .face = Arial},
    Control{.name = "Label11", .kind = Label, .rect = {2040, 2400, 1695, 375}, .caption = "C.U.I.T Nº", .face = Arial, .ink = Ink::System},
    Control{.name = "Label10", .kind = Label, .rect = {3360, 2040, 1695, 375}, .caption = "Loc:", .face = Arial},
    Control{.name = "Label9(0)", .kind = Label, .rect = {5400, 2040, 1695, 375}, .caption = "Pcia:", .face = Arial},
    Control{.name = "Label8", .kind = Label, .rect = {2040, 1680, 1695, 375}, .caption = "Calle y Nº:", .face = Arial},
    Control{.name = "Label7", .kind = Label, .rect = {2040, 2760, 1695, 375}, .caption = "MES LIQUIDADO", .align = kCentre, .face = Arial},
    Control{.name = "Label6", .kind = Label, .rect = {3720, 2760, 1455, 375}, .caption = "AÑO", .align = kCentre, .face = Arial},
    Control{.name = "Label5", .kind = Label, .rect = {5160, 2760, 1335, 375}, .caption = "CANTIDAD PERSONAL", .align = kCentre, .face = Arial},
    Control{.name = "Label3", .kind = Label, .rect = {6480, 2760, 1695, 375}, .caption = "TOTAL DE REMUNERACION", .align = kCentre, .face = Arial},
    Control{.name = "Label2", .kind = Label, .rect = {2040, 1320, 1695, 375}, .caption = "Establecimiento:", .face = Arial},
    Control{.name = "Label4", .kind = Label, .rect = {4560, 6240, 375, 735}, .opaque = true},
    Control{.name = "Text1", .kind = Label, .rect = {3360, 8880, 4605, 255}, .opaque = true, .framed = true},
    Control{.name = "txtRetencionDec", .kind = Label, .rect = {7560, 3750, 375, 270}, .opaque = true, .framed = true},
    Control{.name = "txtRetencion", .kind = Label, .rect = {6600, 3750, 855, 270}, .align = kRight, .opaque = true, .framed = true},
    Control{.name = "TXTtotalDec", .kind = Label, .rect = {7560, 5985, 375, 285}, .opaque = true, .framed = true},
    Control{.name = "txtTotal", .kind = Label, .rect = {6600, 5985, 855, 285}, .align = kRight, .opaque = true, .framed = true},
    Control{.name = "Label1", .kind = Label, .rect = {2400, 8040, 2775, 135}, .opaque = true},
    Control{.name = "Label24(2)", .kind = Label, .rect = {7485, 3240, 135, 375}, .caption = ",", .face = Arial, .ink = Ink::System},
    Control{.name = "Label24(1)", .kind = Label, .rect = {7485, 4200, 135, 375}, .caption = ",", .face = Arial, .ink = Ink::System},
    Control{.name = "Label24(0)", .kind = Label, .rect = {7485, 3840, 135, 375}, .caption = ",", .face = Arial, .ink = Ink::System},
};

constexpr std::array<PrintPair, 22> kPrintPairs{{
    {"txtNombre", "lblNombre"}, {"txtCuit", "lblCUIT"}, {"txtCalle", "lblCalle"},
    {"txtCP", "lblCP"}, {"txtLoc", "lblLoc"}, {"txtPcia", "lblPcia"},
    {"txtMes", "lblMes"}, {"txtAnio", "lblAnio"}, {"txtCPersonal", "lblCPersonal"},
    {"txtRemuneracion", "lblRemuneracion"}, {"txtRemuneracionDec", "lblRemuneracionDec"},
    {"txtRecargo", "lblRecargo"}, {"txtRecargoDec", "lblRecargoDec"},
    {"txtOtrosConceptos", "lblOtrosConceptos"}, {"txtOtrosConceptosDec", "lblOtrosConceptosDec"},
    {"txtCheque", "lblCheque"}, {"txtBanco", "lblBanco"}, {"txtPesos", "lblPesos"},
    {"Text4", "lbl4"}, {"Text3", "lbl3"}, {"Text2", "lbl2"}, {"txtOtrosDesc", "lblOtrosDesc"},
}};

// The deposit year (lbl4) and the description of other concepts stay regular.
constexpr std::array<const char*, 24> kBold{
    "lblNombre", "lblCUIT", "lblCalle", "lblCP", "lblLoc", "lblPcia", "lblMes", "lblAnio",
    "lblCPersonal", "lblRemuneracion", "lblRemuneracionDec", "lblRecargo", "lblRecargoDec",
    "lblOtrosConceptos", "lblOtrosConceptosDec", "lblCheque", "lblBanco", "lblPesos",
    "lbl3", "lbl2", "txtTotal", "TXTtotalDec", "txtRetencion", "txtRetencionDec",
};

constexpr std::array<const char*, 26> kFramed{
    "txtNombre", "txtCalle", "txtCuit", "txtTotal", "TXTtotalDec", "txtRetencion",
    "txtRetencionDec", "txtCP", "txtLoc", "txtPcia", "txtMes", "txtAnio", "txtCPersonal",
    "txtRemuneracion", "txtRemuneracionDec", "txtRecargo", "txtRecargoDec",
    "txtOtrosConceptos", "txtOtrosConceptosDec", "txtCheque", "txtBanco", "txtPesos",
    "Text1", "Text2", "Text3", "Text4",
};

constexpr std::array<AccessibleName, 32> kAccessibleNames{{
    {"txtNombre", "Establecimiento"},
    {"txtCalle", "Calle y número"},
    {"txtCP", "Código postal"},
    {"txtLoc", "Localidad"},
    {"txtPcia", "Provincia"},
    {"txtCuit", "Número de C.U.I.T."},
    {"txtMes", "Mes liquidado"},
    {"txtAnio", "Año liquidado"},
    {"txtCPersonal", "Cantidad de personal"},
    {"txtRemuneracion", "Total de remuneración, pesos"},
    {"txtRemuneracionDec", "Total de remuneración, centavos"},
    {"txtRetencion", "Contribución empresarial, pesos"},
    {"txtRetencionDec", "Contribución empresarial, centavos"},
    {"txtRecargo", "Recargo actualizado de intereses, pesos"},
    {"txtRecargoDec", "Recargo actualizado de intereses, centavos"},
    {"txtOtrosConceptos", "Otros conceptos, pesos"},
    {"txtOtrosConceptosDec", "Otros conceptos, centavos"},
    {"txtOtrosDesc", "Descripción de otros conceptos"},
    {"txtTotal", "Total a depositar, pesos"},
    {"TXTtotalDec", "Total a depositar, centavos"},
    {"Check1", "Pago en efectivo"},
    {"txtCheque", "Número de cheque o giro"},
    {"txtBanco", "Banco del cheque"},
    {"txtPesos", "Son pesos, importe en letras"},
    {"Text2", "Día del depósito"},
    {"Text3", "Mes del depósito"},
    {"Text4", "Año del depósito, dos últimas cifras"},
    {"Command2", "Imprimir"},
    {"cmdGuardarPdf", "Guardar PDF"},
    {"Text1", "Código de pago"},
    {"Image1", "Código de barras del pago"},
    {"Picture1", "Dibujo del código de barras"},
}};
// clang-format on
}  // namespace

std::span<const Control> VoucherControls() {
    return kControls;
}
std::span<const PrintPair> PrintPairs() {
    return kPrintPairs;
}
std::span<const char* const> BoldWhilePrinting() {
    return kBold;
}
std::span<const char* const> FramedForEntry() {
    return kFramed;
}
std::span<const AccessibleName> AccessibleNames() {
    return kAccessibleNames;
}

}  // namespace app
