// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace cli {

// The hidden worker side of `--lote` (cli::kBatchWorkerOption): reads one
// job a line on standard input, makes the voucher, answers one line on
// standard output (cli/BatchJob.h). It writes no file of the batch's: the
// batch itself writes every one.
int RunBatchWorker();

// Each worker has a private folder for its bitmap, named by its process:
// removed by the batch once the worker `pid` is gone, and, for batches killed
// outright, by the next batch for every worker whose process no longer exists.
void RemoveWorkerFolder(qint64 pid);
void RemoveStaleWorkerFolders();

}  // namespace cli
