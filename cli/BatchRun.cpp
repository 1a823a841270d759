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
#include "cli/VoucherOptions.h"
#include "platform/Files.h"
#include "platform/QtPlatform.h"

namespace cli {

namespace {

// Rows read ahead of the first one not yet settled: rows refused on reading
// behind a slow one wait here, and reading waits for them.
constexpr std::size_t kMaxPending = 512;

enum Count { kCountWritten, kCountRefused, kCountFailed, kCountThere, kCountWarned };

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

quint64 PeriodKey(const QString& cuit, const QString& period) {
    const QByteArray digest =
        QCryptographicHash::hash((cuit + u'|' + period).toUtf8(), QCryptographicHash::Sha256);
    return qFromLittleEndian<quint64>(digest.constData());
}

// Who a row is for when no voucher was made of it: what its columns say.
batch::VoucherFigures FiguresFromInput(const batch::RowInput& input) {
    batch::VoucherFigures figures;
    figures.cuit = input.values.value(QStringLiteral("cuit"));
    figures.name = input.values.value(QStringLiteral("establecimiento"));
    const QString month = input.values.value(QStringLiteral("mes"));
    const QString year = input.values.value(QStringLiteral("anio"));
    if (!month.isEmpty() || !year.isEmpty()) {
        figures.period = month + u'/' + year;
    }
    figures.remuneration = input.values.value(QStringLiteral("remuneracion"));
    figures.surcharge = input.values.value(QStringLiteral("recargo"));
    figures.other = input.values.value(QStringLiteral("otros"));
    return figures;
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

// Each row's line also goes to the journal as it is settled: a run killed
// outright leaves it, and the next run in the folder reads it as a record.
void BatchRun::OpenJournal() {
    journal_ = ::openat(folder_.fd(), batch::kJournalName,
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat info {};
    if (journal_ >= 0 && (::fstat(journal_, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(journal_);
        journal_ = -1;
    }
    if (journal_ >= 0) {
        const QByteArray header =
            "\xEF\xBB\xBF" + batch::ReportHeader(settings_.separator) + "\r\n";
        (void)!::write(journal_, header.constData(), std::size_t(header.size()));
    }
}

void BatchRun::Journal(const batch::ReportRow& row) {
    if (journal_ >= 0 && onePdf_ == nullptr) {
        const QByteArray line = batch::ReportLine(row, settings_.separator) + "\r\n";
        (void)!::write(journal_, line.constData(), std::size_t(line.size()));
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
            BatchJob job{slot.input.number, slot.input.values, slot.input.cash, settings_.strict,
                         onePdf_ != nullptr};
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

bool BatchRun::VoucherAlreadyThere(const BatchAnswer& answer, batch::ReportRow& row) const {
    const std::optional<QString> file =
        earlier_.File(batch::VoucherKey(answer.figures, answer.code));
    if (!file) {
        return false;
    }
    struct stat found {};
    if (::fstatat(folder_.fd(), platform::EncodeName(*file).constData(), &found,
                  AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(found.st_mode) || found.st_size == 0) {
        return false;  // gone since: made again
    }
    row.state = batch::kAlreadyThere;
    row.file = *file;
    return true;
}

void BatchRun::WriteVoucherFile(Slot& slot, batch::ReportRow& row) {
    const auto fail = [&](const QString& why) {
        row.state = batch::kRowFailed;
        row.message =
            QStringLiteral("No se puede escribir en %1: %2")
                .arg(platform::Printable(QDir::toNativeSeparators(settings_.folderName)), why);
    };
    platform::SafeFile file;
    if (const QString why = file.OpenTemporary(folder_); !why.isEmpty()) {
        return fail(why);
    }
    file.write(slot.answer.pdf);
    const QString proposed = slot.answer.proposedName;
    const auto exists = [this, &proposed](int attempt) {
        struct stat found {};
        return ::fstatat(folder_.fd(),
                         platform::EncodeName(batch::NumberedName(proposed, attempt)).constData(),
                         &found, AT_SYMLINK_NOFOLLOW) == 0;
    };
    for (int attempt = nextNumber_.value(proposed, 1);; ++attempt) {
        attempt = batch::FirstFree(exists, attempt);
        const QString name = batch::NumberedName(proposed, attempt);
        bool taken = false;
        // Recorded before the name is taken: killed in between, the record
        // names a file that is not there, which a rerun makes; the other way
        // round a rerun would find a voucher nobody recorded, and make it twice.
        batch::ReportRow intended = row;
        intended.file = name;
        Journal(intended);
        if (const QString why = file.FinishAsNew(platform::EncodeName(name), &taken);
            !why.isEmpty()) {
            return fail(why);
        }
        if (!taken) {
            if (attempt > 1) {
                nextNumber_.insert(proposed, attempt + 1);
            }
            row.file = name;
            return;
        }
    }
}

void BatchRun::Settle(Slot& slot) {
    batch::ReportRow row;
    row.number = slot.input.number;
    row.state = slot.answer.state;
    row.message = slot.answer.message;
    row.code = slot.answer.code;
    row.figures = row.state == batch::kWritten ? slot.answer.figures : FiguresFromInput(slot.input);
    if (row.state == batch::kWritten) {
        // The same employer and month twice in one CSV is most likely a
        // copied row: told, and with --estricto the later one is refused.
        const quint64 period = PeriodKey(row.figures.cuit, row.figures.period);
        if (const auto first = periodsSeen_.constFind(period); first != periodsSeen_.constEnd()) {
            const QString remark =
                QStringLiteral("la fila %1 ya tiene el mismo C.U.I.T. y período").arg(*first);
            if (settings_.strict) {
                row.state = batch::kRowRefused;
                row.message = remark;
            } else {
                row.message = row.message.isEmpty()
                                  ? QStringLiteral("Aviso: ") + remark
                                  : row.message + QStringLiteral(" Aviso: ") + remark;
            }
        } else {
            periodsSeen_.insert(period, row.number);
        }
    }
    bool written = false;
    if (row.state == batch::kWritten && onePdf_ != nullptr) {
        onePdf_->Add(slot.answer.pages);
        row.file = settings_.onePdfName;
        const int pages = static_cast<int>(slot.answer.pages.size());
        const QString where =
            QStringLiteral("páginas %1 a %2").arg(pagesPainted_ + 1).arg(pagesPainted_ + pages);
        row.message = row.message.isEmpty() ? where : where + QStringLiteral("; ") + row.message;
        pagesPainted_ += pages;
        inOnePdf_.emplace_back(lines_.size(), row);
    } else if (row.state == batch::kWritten && !VoucherAlreadyThere(slot.answer, row)) {
        WriteVoucherFile(slot, row);
        written = row.state == batch::kWritten;  // recorded already, as it was claimed
    }
    if (row.state == batch::kWritten && row.message.contains(QStringLiteral("Aviso"))) {
        ++counts_[kCountWarned];
    }
    if (row.state == batch::kWritten) {
        totals_.writtenCents += batch::AmountCents(row.figures.total);
    }
    counts_[row.state == batch::kWritten        ? kCountWritten
            : row.state == batch::kRowRefused   ? kCountRefused
            : row.state == batch::kAlreadyThere ? kCountThere
                                                : kCountFailed]++;
    ++settled_;
    lines_.push_back(batch::ReportLine(row, settings_.separator));
    if (!written) {
        Journal(row);
    }
    Report(row);
}

void BatchRun::Interrupt() {
    ClearProgress();
    err_ << "Interrumpido: se terminan las filas en curso y no se empiezan más." << Qt::endl;
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

int BatchRun::Finish() {
    ClearProgress();
    RemoveWorkerFolders();
    // Rows never started (a stop, or no worker left) are recorded as such.
    const bool stopped = stopSignal_ != 0;
    for (;;) {
        if (pending_.empty() && !readerDone_) {
            PullRow();
        }
        if (pending_.empty()) {
            break;
        }
        Slot& slot = pending_.front();
        if (!slot.done) {
            slot.done = true;
            slot.answer.row = slot.input.number;
            slot.answer.state = batch::kNotDone;
            slot.answer.message = stopped
                                      ? QStringLiteral("interrumpido")
                                      : QStringLiteral("ningún proceso de trabajo pudo hacerla");
        }
        SettleInOrder();
    }
    QString onePdfFailure;
    if (onePdf_ != nullptr) {
        if (stopped) {
            onePdf_->Discard();
            onePdfFailure = QStringLiteral("interrumpido antes de terminar el PDF");
        } else if (pagesPainted_ == 0) {
            onePdf_->Discard();  // no voucher: no empty PDF either
        } else if (const QString why = onePdf_->Close(); !why.isEmpty()) {
            onePdfFailure = QStringLiteral("No se pudo escribir %1: %2")
                                .arg(platform::Printable(settings_.onePdfName), why);
            err_ << onePdfFailure << Qt::endl;
        }
    }
    if (!onePdfFailure.isEmpty()) {
        for (auto& [index, row] : inOnePdf_) {
            row.state = stopped ? batch::kNotDone : batch::kRowFailed;
            row.file.clear();
            row.message = onePdfFailure;
            lines_[index] = batch::ReportLine(row, settings_.separator);
        }
        counts_[kCountWritten] -= static_cast<int>(inOnePdf_.size());
        counts_[kCountWarned] = 0;
        totals_.writtenCents = 0;
        if (!stopped) {
            counts_[kCountFailed] += static_cast<int>(inOnePdf_.size());
        }
    }
    totals_.written = counts_[kCountWritten];
    totals_.warned = counts_[kCountWarned];
    totals_.alreadyThere = counts_[kCountThere];
    totals_.refused = counts_[kCountRefused];
    totals_.failed = counts_[kCountFailed];
    totals_.notDone =
        settled_ - totals_.written - totals_.alreadyThere - totals_.refused - totals_.failed;
    const bool reportWritten = WriteResults();
    err_ << batch::SummaryText(totals_) << "; detalle en "
         << platform::Printable(QDir::toNativeSeparators(
                QDir(settings_.folderName).filePath(QString::fromUtf8(batch::kReportName))))
         << Qt::endl;
    if (stopped) {
        return 128 + stopSignal_;  // as the shell reports the signal: 130, 143, 129
    }
    if (counts_[kCountFailed] > 0 || !reportWritten) {
        return kUnwritable;
    }
    return counts_[kCountRefused] > 0 ? kSomeRefused : kDone;
}

// The report an earlier run left is kept beside the new one, named after
// when it was written, so no run loses another's record.
QString BatchRun::KeepEarlierReport() {
    struct stat found {};
    if (::fstatat(folder_.fd(), batch::kReportName, &found, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(found.st_mode) || found.st_size == 0) {
        return {};
    }
    const QString stamp = QDateTime::fromSecsSinceEpoch(found.st_mtim.tv_sec)
                              .toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    for (int attempt = 1;; ++attempt) {
        bool taken = false;
        const QString kept = batch::NumberedName(batch::KeptReportName(stamp), attempt);
        if (const QString why = platform::MoveToNewName(folder_, batch::kReportName,
                                                        platform::EncodeName(kept), &taken);
            !why.isEmpty() || !taken) {
            return why;
        }
    }
}

bool BatchRun::WriteResults() {
    // With a BOM, so that spreadsheets read the accents as UTF-8.
    platform::SafeFile file;
    QString why = file.OpenTemporary(folder_);
    if (why.isEmpty()) {
        file.write("\xEF\xBB\xBF" + batch::ReportHeader(settings_.separator) + "\r\n");
        for (const QByteArray& line : lines_) {
            file.write(line + "\r\n");
        }
        file.write(batch::TotalsLine(totals_, settings_.separator) + "\r\n");
        why = KeepEarlierReport();
        if (why.isEmpty()) {
            why = file.FinishReplacing(batch::kReportName);
        }
        if (why.isEmpty() && journal_ >= 0) {
            ::unlinkat(folder_.fd(), batch::kJournalName, 0);  // the report holds it all now
        }
    }
    if (!why.isEmpty()) {
        err_ << QStringLiteral("No se puede escribir %1: %2")
                    .arg(platform::Printable(QDir::toNativeSeparators(
                             QDir(settings_.folderName)
                                 .filePath(QString::fromUtf8(batch::kReportName)))),
                         why)
             << Qt::endl;
        return false;
    }
    return true;
}

}  // namespace cli
