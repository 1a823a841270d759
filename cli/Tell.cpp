// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Tell.h"

namespace cli {

void Error(QTextStream& err, const QString& text) {
    err << "talonario: " << text << Qt::endl;
}

void Warning(QTextStream& err, const QString& text) {
    err << "talonario: aviso: " << text << Qt::endl;
}

}  // namespace cli
