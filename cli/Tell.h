// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTextStream>

namespace cli {

// Every failure and warning a command writes to standard error, one line
// each, after the program's name, so that a script's log says who spoke:
// "talonario: no se puede escribir ..." and "talonario: aviso: ...". The
// batch's row lines and summary are its report, not messages, and keep
// their own form.
void Error(QTextStream& err, const QString& text);
void Warning(QTextStream& err, const QString& text);

}  // namespace cli
