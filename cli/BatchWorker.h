#pragma once

namespace cli {

// The hidden worker side of `--lote` (cli::kBatchWorkerOption): reads one
// job a line on standard input, makes the voucher, answers one line on
// standard output (cli/BatchJob.h). It writes no file of the batch's: the
// batch itself writes every one.
int RunBatchWorker();

}  // namespace cli
