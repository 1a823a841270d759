// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace app {

// The name of one printed copy's job in the print queue, after whose voucher
// it is: "Talonario 20-12345678-6 05/2026 copia 1 (banco)", copy 2 being the
// depositor's. Two windows printing at once interleave their jobs; the names
// sort them out. The entries are the boxes' texts as typed.
QString PrintJobName(const QString& cuit, const QString& month, const QString& year, int copy);

}  // namespace app
