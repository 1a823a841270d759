#pragma once

#include <QStringList>
#include <QTextStream>

namespace app {

// `talonario --lote ARCHIVO.csv --carpeta CARPETA [--trabajos N] [--un-pdf
// ARCHIVO.pdf]`: one voucher per CSV row, made by worker processes, and
// CARPETA/resultado.csv saying what became of each row. Returns the exit
// status: 0 all written, 4 some refused, 2 bad command or CSV, 3 folder not
// writable, 130 interrupted.
int RunBatchCommand(const QStringList& arguments, QTextStream& err);

// The hidden worker side (`--lote-trabajador`): reads one job a line on
// standard input, makes the voucher, answers one line on standard output.
int RunBatchWorker();

// The hidden option that starts a worker.
inline constexpr const char* kBatchWorkerOption = "--lote-trabajador";

}  // namespace app
