// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchRun.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <QtEndian>
#include <csignal>

#include "assets/Assets.h"
#include "batch/FileNames.h"
#include "batch/Progress.h"
#include "cli/BatchWorker.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/Tell.h"
#include "cli/VoucherOptions.h"
#include "platform/Files.h"
#include "platform/QtPlatform.h"

namespace cli {

namespace {

// Rows read ahead of the first one not yet settled: rows refused on reading
// behind a slow one wait here, and reading waits for them.
constexpr std::size_t kMaxPending = 512;

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int signal) {
    stopRequested = signal;
}

int TerminalWidth() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

}  // namespace

struct BatchRun::Worker {
    QProcess* process = nullptr;
    std::optional<int> row;  // the row it is making
    bool idle = false;       // waiting for room to read more rows
    QByteArray buffer;
};

BatchRun::BatchRun(QTextStream& err, const platform::Folder& folder, batch::CsvReader& reader,
                   BatchSettings settings, OnePdf* onePdf, const batch::EarlierRecords& earlier)
    : err_(err),
      folder_(folder),
      reader_(reader),
      settings_(std::move(settings)),
      onePdf_(onePdf),
      earlier_(earlier),
      // Under every page the workers send back; they send only what lies on it.
      voucherPicture_(assets::ResourcePicture(":/assets/voucher.bmp")),
      terminal_(::isatty(STDERR_FILENO) != 0) {
    rules_.columns = settings_.columns;
    rules_.cashColumn = QString::fromUtf8(kCashOption);
    for (const AmountOption& option : kAmountOptions) {
        rules_.amountColumns << QString::fromUtf8(option.name);
    }
    rules_.decimalComma = settings_.separator == ';';
}

BatchRun::~BatchRun() {
    if (journal_ >= 0) {
        ::close(journal_);
    }
}

int BatchRun::Run() {
    clock_.start();
    if (onePdf_ == nullptr) {
        OpenJournal();
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    struct sigaction previous[3]{};
    const int stopSignals[3] = {SIGINT, SIGTERM, SIGHUP};
    for (int i = 0; i < 3; ++i) {
        ::sigaction(stopSignals[i], &action, &previous[i]);
    }
    // A reader of standard error that went away must not end the run unrecorded.
    std::signal(SIGPIPE, SIG_IGN);

    // Rows refused while reading are settled at once; the rest wait for a worker.
    PullRow();
    SettleInOrder();
    for (int i = 0; i < settings_.workers && (!readerDone_ || !pending_.empty()); ++i) {
        StartWorker();
    }
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, this, [this] {
        if (stopRequested != 0 && stopSignal_ == 0) {
            stopSignal_ = stopRequested;
            Interrupt();
        }
        DrawProgress(false);
    });
    tick.start(100);
    if (running_ > 0) {
        loop_.exec();
    }
    tick.stop();
    if (stopRequested != 0 && stopSignal_ == 0) {
        stopSignal_ = stopRequested;
    }
    for (int i = 0; i < 3; ++i) {
        ::sigaction(stopSignals[i], &previous[i], nullptr);
    }
    return Finish();
}

// Reads rows until one needs a worker (or the file ends); rows refused on
// reading join the queue as done.
bool BatchRun::PullRow() {
    while (!readerDone_) {
        batch::CsvRow record;
        if (!reader_.Next(record)) {
            readerDone_ = true;
            return false;
        }
        Slot slot;
        slot.input = batch::ReadRow(record, rules_);
        if (!slot.input.refusal.isEmpty()) {
            slot.done = true;
            slot.answer.row = slot.input.number;
            slot.answer.state = batch::kRowRefused;
            slot.answer.message = slot.input.refusal;
            pending_.push_back(std::move(slot));
            if (pending_.size() >= kMaxPending) {
                return false;  // read on once the rows before are settled
            }
            continue;
        }
        pending_.push_back(std::move(slot));
        return true;
    }
    return false;
}

void BatchRun::StartWorker() {
    auto worker = std::make_shared<Worker>();
    workers_.push_back(worker);
    worker->process = new QProcess(this);
    QProcess* process = worker->process;
    // Their stderr would tear the progress line; everything they have to
    // say comes back in their answers.
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this, [this, worker] {
        worker->buffer += worker->process->readAllStandardOutput();
        qsizetype end = 0;
        while ((end = worker->buffer.indexOf('\n')) >= 0) {
            const QByteArray line = worker->buffer.left(end);
            worker->buffer.remove(0, end + 1);
            Answered(*worker, DecodeAnswer(line, voucherPicture_));
        }
    });
    connect(process, &QProcess::finished, this, [this, worker] { WorkerEnded(*worker); });
    // A worker that never started sends no finished() of its own.
    connect(process, &QProcess::errorOccurred, this, [this, worker](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            WorkerEnded(*worker);
        }
    });
    connect(process, &QProcess::started, this,
            [this, process] { workerPids_.push_back(process->processId()); });
    ++running_;
    process->start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--") + QString::fromUtf8(kBatchWorkerOption)});
    Dispatch(*worker);
}

void BatchRun::Dispatch(Worker& worker) {
    if (stopSignal_ == 0) {
        // The first row waiting for a worker, reading more when none is.
        for (std::size_t i = 0;; ++i) {
            if (i == pending_.size() && !PullRow()) {
                break;
            }
            if (i >= pending_.size()) {
                break;
            }
            Slot& slot = pending_[i];
            if (slot.done || slot.answer.row != 0) {
                continue;  // settled on reading, or with another worker
            }
            slot.answer.row = slot.input.number;  // taken
            worker.row = slot.input.number;
            BatchJob job{slot.input.number, Completed(slot.input.values), slot.input.cash,
                         settings_.strict, onePdf_ != nullptr, settings_.print};
            worker.process->write(EncodeJob(job));
            SettleInOrder();  // rows refused on reading before this one
            return;
        }
    }
    worker.row.reset();
    const bool rowsLeft =
        !readerDone_ || std::any_of(pending_.begin(), pending_.end(), [](const Slot& slot) {
            return !slot.done && slot.answer.row == 0;
        });
    if (stopSignal_ == 0 && rowsLeft) {
        worker.idle = true;  // until the rows before are settled
    } else {
        worker.process->closeWriteChannel();  // a worker ends at the end of its input
    }
    SettleInOrder();
}

void BatchRun::Answered(Worker& worker, BatchAnswer answer) {
    if (!worker.row) {
        return;
    }
    for (Slot& slot : pending_) {
        if (slot.input.number == *worker.row && !slot.done) {
            answer.row = *worker.row;
            slot.answer = std::move(answer);
            slot.done = true;
            break;
        }
    }
    worker.row.reset();
    SettleInOrder();
    Dispatch(worker);
}

void BatchRun::WorkerEnded(Worker& worker) {
    if (worker.row) {
        const int row = *worker.row;
        worker.row.reset();
        BatchAnswer lost;
        lost.state = batch::kRowFailed;
        lost.message = QStringLiteral("El proceso de trabajo terminó de forma inesperada");
        for (Slot& slot : pending_) {
            if (slot.input.number == row && !slot.done) {
                lost.row = row;
                slot.answer = lost;
                slot.done = true;
            }
        }
        SettleInOrder();
        const bool more = !readerDone_ || std::any_of(pending_.begin(), pending_.end(),
                                                      [](const Slot& s) { return !s.done; });
        if (more && stopSignal_ == 0 && restarts_++ < settings_.workers * 2) {
            StartWorker();
        }
    }
    if (--running_ == 0) {
        loop_.quit();
    }
}

void BatchRun::SettleInOrder() {
    bool settled = false;
    while (!pending_.empty() && pending_.front().done) {
        Slot slot = std::move(pending_.front());
        pending_.pop_front();
        Settle(slot);
        settled = true;
    }
    if (!settled) {
        return;
    }
    // Room again for the rows after: workers left waiting get theirs.
    for (const std::shared_ptr<Worker>& worker : workers_) {
        if (worker->idle && worker->process->state() != QProcess::NotRunning) {
            worker->idle = false;
            Dispatch(*worker);
        }
    }
}

void BatchRun::Interrupt() {
    ClearProgress();
    Warning(err_,
            QStringLiteral("Interrumpido: se terminan las filas en curso y no se empiezan más."));
    for (const std::shared_ptr<Worker>& worker : workers_) {
        if (!worker->row && worker->process->state() != QProcess::NotRunning) {
            worker->process->closeWriteChannel();
        }
    }
}

// A line for each row settled; on a terminal only the ones with something
// to say, above the progress bar.
void BatchRun::Report(const batch::ReportRow& row) {
    QString line = QStringLiteral("fila %1: %2").arg(row.number).arg(row.state);
    if (!row.file.isEmpty() && onePdf_ == nullptr) {
        line += QStringLiteral(" ") + platform::Printable(row.file);
    }
    if (!row.message.isEmpty()) {
        line += QStringLiteral(": ") + platform::Printable(row.message);
    }
    if (terminal_) {
        if (row.state == batch::kWritten || row.state == batch::kAlreadyThere) {
            return;
        }
        ClearProgress();
    }
    err_ << line << Qt::endl;
    DrawProgress(true);
}

void BatchRun::ClearProgress() {
    if (terminal_ && progressShown_) {
        err_ << "\r\x1b[K";
        err_.flush();
        progressShown_ = false;
    }
}

void BatchRun::DrawProgress(bool force) {
    if (!terminal_ || (!force && !progressShown_ && settled_ == 0)) {
        return;
    }
    err_ << '\r'
         << batch::ProgressBar(settled_, std::max(settings_.rows, settled_),
                               clock_.isValid() ? clock_.elapsed() / 1000.0 : 0.0,
                               TerminalWidth() - 1)
         << "\x1b[K";
    err_.flush();
    progressShown_ = true;
}

void BatchRun::RemoveWorkerFolders() {
    for (const qint64 pid : workerPids_) {
        RemoveWorkerFolder(pid);
    }
}

}  // namespace cli
