// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace batch {

// The column a CSV header's title names, as a spreadsheet user writes it:
// any case, accents or none ("Año" is "anio", "Remuneración"
// "remuneracion"), blanks, "_" and "-" alike, dots dropped ("C.U.I.T."),
// joining words and "Nº" left out, and the voucher's own captions or the
// usual names for a column ("Razón social" for "establecimiento", "Código
// postal" for "cp", "Total de remuneración" for "remuneracion"). The result
// is one of `known` (the columns' names, cli/VoucherOptions.h), or empty.
QString CanonicalColumn(const QString& title, const QStringList& known);

}  // namespace batch
