// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QTextStream>

namespace cli {

class CommandLine;

// A CSV ready for --lote: the header with every column, in the order the
// window's boxes are filled, and one example row of a valid voucher.
QByteArray BatchTemplate();

// `talonario --plantilla FILE.csv`: writes BatchTemplate() as FILE.csv,
// replacing it safely; why it could not, in Spanish, goes to `err`.
int RunTemplateCommand(const CommandLine& line, QTextStream& err);

}  // namespace cli
