// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <csignal>

#include "batch/FileNames.h"
#include "cli/BatchRun.h"
#include "cli/ExitStatus.h"
#include "cli/Tell.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

// The end of a run: rows never started are told as such, the one PDF is
// closed or given up, the vouchers are recorded and the report is written.
namespace cli {

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
            Error(err_, onePdfFailure);
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
    totals_.printing = settings_.print;
    if (onePdfFailure.isEmpty()) {
        for (const auto& [number, voucher] : toRecord_) {
            settings_.recorder->Record(voucher, number);
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
        return stopSignal_ == SIGHUP    ? kHangUp
               : stopSignal_ == SIGTERM ? kTerminated
                                        : kInterrupted;
    }
    if (counts_[kCountFailed] > 0 || totals_.notPrinted > 0 || !reportWritten) {
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
        Error(err_, QStringLiteral("No se puede escribir %1: %2")
                        .arg(platform::Printable(QDir::toNativeSeparators(
                                 QDir(settings_.folderName)
                                     .filePath(QString::fromUtf8(batch::kReportName)))),
                             why));
        return false;
    }
    return true;
}

}  // namespace cli
