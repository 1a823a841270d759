// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace batch {

// The words a CSV's "efectivo" column says yes with ("si", "sí", "s", "x",
// "1", "true", "verdadero") and no with ("" included: an empty cell is no),
// lower case; for the help, the template and the refusal.
const QStringList& CashYes();
const QStringList& CashNo();

// The cell as yes or no, in any case and with blanks around; none for
// anything else.
std::optional<bool> ReadCash(const QString& cell);

}  // namespace batch
