#pragma once

#include <QTextStream>

namespace cli {

class CommandLine;

// `talonario --lote ARCHIVO.csv --carpeta CARPETA [--trabajos N] [--un-pdf
// ARCHIVO.pdf]`: one voucher per CSV row, made by worker processes, and
// CARPETA/resultado.csv saying what became of each row. Returns the exit
// status: 0 all written, 4 some refused, 2 bad command or CSV, 3 folder not
// writable, 130 interrupted.
int RunBatchCommand(const CommandLine& line, QTextStream& err);

// The hidden worker side (cli::kBatchWorkerOption): reads one job a line on
// standard input, makes the voucher, answers one line on standard output.
int RunBatchWorker();

}  // namespace cli
