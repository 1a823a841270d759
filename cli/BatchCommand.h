// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextStream>

namespace cli {

class CommandLine;

// `talonario --lote ARCHIVO.csv --carpeta CARPETA [--trabajos N] [--un-pdf
// ARCHIVO.pdf]`: one voucher per CSV row, made by worker processes, and
// CARPETA/resultado.csv saying what became of each row. One batch at a time
// writes into a folder. Returns the exit status (cli/ExitStatus.h).
int RunBatchCommand(const CommandLine& line, QTextStream& err);

}  // namespace cli
