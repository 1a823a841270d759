// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QObject>
#include <QTextStream>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "batch/CsvRows.h"
#include "batch/Report.h"
#include "batch/Rows.h"
#include "cli/BatchJob.h"
#include "cli/OnePdf.h"
#include "cli/Recording.h"
#include "history/Store.h"
#include "platform/QtPlatform.h"
#include "platform/SafeFile.h"

class QProcess;

namespace cli {

struct BatchSettings {
    QString folderName;  // as the user gave it, for messages
    QStringList columns;
    int rows = 0;  // how many the CSV holds, for the progress line
    int workers = 1;
    bool strict = false;
    char separator = ',';
    QString onePdfName;            // empty: a file per voucher
    bool print = false;            // every voucher's copies printed too, in row order
    QString printer;               // a CUPS queue; empty: the default printer
    Recorder* recorder = nullptr;  // where each written voucher is recorded
    // With --completar: the register, by C.U.I.T., that fills a row's
    // missing employer columns.
    QHash<QString, history::Employer> employers;
};

// Runs the rows of a CSV through worker processes and writes what they make
// into the held folder, in row order: a file per voucher (or pages of the one
// PDF), then resultado.csv. Ctrl+C, a hang-up or a TERM stops it between rows:
// rows in progress are finished and recorded, nothing half written is left.
class BatchRun : public QObject {
  public:
    BatchRun(QTextStream& err, const platform::Folder& folder, batch::CsvReader& reader,
             BatchSettings settings, OnePdf* onePdf, const batch::EarlierRecords& earlier);
    ~BatchRun() override;

    // The exit status (cli/ExitStatus.h).
    int Run();

  private:
    struct Worker;
    struct Slot {
        batch::RowInput input;
        bool done = false;
        BatchAnswer answer;
    };

    void StartWorker();
    void Dispatch(Worker& worker);
    void Answered(Worker& worker, BatchAnswer answer);
    void WorkerEnded(Worker& worker);
    bool PullRow();
    void SettleInOrder();
    void Settle(Slot& slot);
    void WriteVoucherFile(Slot& slot, batch::ReportRow& row);
    void PrintRow(const Slot& slot, batch::ReportRow& row);
    bool VoucherAlreadyThere(const BatchAnswer& answer, batch::ReportRow& row) const;
    void Interrupt();
    void Report(const batch::ReportRow& row);
    void Record(const Slot& slot, const batch::ReportRow& row);
    QHash<QString, QString> Completed(const QHash<QString, QString>& values) const;
    void ClearProgress();
    void DrawProgress(bool force);
    int Finish();
    bool WriteResults();
    QString KeepEarlierReport();
    void OpenJournal();
    void Journal(const batch::ReportRow& row);
    void RemoveWorkerFolders();

    QTextStream& err_;
    const platform::Folder& folder_;
    batch::CsvReader& reader_;
    BatchSettings settings_;
    OnePdf* onePdf_;
    const batch::EarlierRecords& earlier_;
    const QImage voucherPicture_;
    bool terminal_;
    batch::RowRules rules_;

    std::deque<Slot> pending_;  // from the next row to settle on, in row order
    bool readerDone_ = false;
    std::vector<std::shared_ptr<Worker>> workers_;
    std::vector<qint64> workerPids_;
    int running_ = 0;
    int restarts_ = 0;
    int settled_ = 0;
    int stopSignal_ = 0;
    bool progressShown_ = false;
    int pagesPainted_ = 0;
    QHash<QString, int> nextNumber_;   // proposed names that met a taken one
    QHash<quint64, int> periodsSeen_;  // C.U.I.T. and period -> first row
    std::vector<QByteArray> lines_;    // resultado.csv, settled rows
    std::vector<std::pair<std::size_t, batch::ReportRow>> inOnePdf_;  // to mend on failure
    // Rows settled, by what became of them.
    enum Count { kCountWritten, kCountRefused, kCountFailed, kCountThere, kCountWarned, kCounts };
    int counts_[kCounts] = {};
    batch::ReportTotals totals_;  // written, refused, failed, already there, with warnings
    platform::QtPlatform printer_;
    int printStoppedAt_ = 0;  // the row whose copies did not print; none after it are sent
    int journal_ = -1;
    // One-PDF runs: recorded once the PDF is complete on disk.
    std::vector<std::pair<int, history::Voucher>> toRecord_;
    QElapsedTimer clock_;
    QEventLoop loop_;
};

}  // namespace cli
