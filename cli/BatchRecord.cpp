// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include "app/CopyPrinting.h"
#include "batch/FileNames.h"
#include "cli/BatchRun.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

// What becomes of a row once settled, in row order: its voucher's file (or
// its pages of the one PDF), its print, its record and its line in the
// journal and the report (which BatchFinish.cpp writes at the end).
namespace cli {

namespace {

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
        Record(slot, row);
    } else if (row.state == batch::kWritten && !VoucherAlreadyThere(slot.answer, row)) {
        WriteVoucherFile(slot, row);
        written = row.state == batch::kWritten;  // recorded already, as it was claimed
        if (written) {
            Record(slot, row);
        }
    }
    // Counted by what became of its file; a voucher not printed was made.
    const QString made = row.state;
    if (settings_.print && made == batch::kWritten) {
        PrintRow(slot, row);
    } else if (settings_.print && made == batch::kAlreadyThere) {
        // Printed by the run that made it, or made without printing: a rerun
        // prints only what an earlier one could not.
        if (earlier_.Unprinted(batch::VoucherKey(slot.answer.figures, slot.answer.code))) {
            PrintRow(slot, row);
        } else {
            const QString note = QStringLiteral("no se imprime de nuevo");
            row.message = row.message.isEmpty() ? note : row.message + QStringLiteral("; ") + note;
        }
    }
    if (made == batch::kWritten && row.message.contains(QStringLiteral("Aviso"))) {
        ++counts_[kCountWarned];
    }
    if (made == batch::kWritten) {
        totals_.writtenCents += batch::AmountCents(row.figures.total);
    }
    counts_[made == batch::kWritten        ? kCountWritten
            : made == batch::kRowRefused   ? kCountRefused
            : made == batch::kAlreadyThere ? kCountThere
                                           : kCountFailed]++;
    ++settled_;
    lines_.push_back(batch::ReportLine(row, settings_.separator));
    if (!written) {
        Journal(row);
    }
    Report(row);
}

// Settled in row order, so the rows come out of the printer in the CSV's
// order. After a row whose copies did not print no other is sent, so that
// the paper is never out of order; each such row is marked.
void BatchRun::PrintRow(const Slot& slot, batch::ReportRow& row) {
    const auto mark = [&row](const QString& why) {
        row.state = batch::kNotPrinted;
        row.message = row.message.isEmpty() ? why : why + QStringLiteral("; ") + row.message;
    };
    if (printStoppedAt_ != 0) {
        ++totals_.notPrinted;
        return mark(
            QStringLiteral("no se envió: la fila %1 no se pudo imprimir").arg(printStoppedAt_));
    }
    platform::PrintChoice choice;
    choice.printerName = settings_.printer;
    std::vector<platform::PrintedJob> jobs;
    const QString period = row.figures.period;
    const QStringList failures = app::PrintVoucherCopies(
        printer_, slot.answer.pages, row.figures.cuit, period.section(u'/', 0, 0),
        period.section(u'/', 1), choice, jobs, true);
    if (!failures.isEmpty()) {
        printStoppedAt_ = row.number;
        ++totals_.notPrinted;
        return mark(failures.join(QStringLiteral("; ")));
    }
    ++totals_.printed;
    const QString printed = batch::kPrintedNote + PrintedDestination(jobs, settings_.printer);
    row.message = row.message.isEmpty() ? printed : row.message + QStringLiteral("; ") + printed;
}

// A written voucher into the record, from this process: the workers record
// nothing. A one-PDF run's wait for the PDF to be complete.
void BatchRun::Record(const Slot& slot, const batch::ReportRow& row) {
    if (settings_.recorder == nullptr) {
        return;
    }
    QString destination = QDir(settings_.folderName).absoluteFilePath(row.file);
    if (onePdf_ != nullptr) {
        destination = platform::IsStandardOutput(platform::EncodeName(settings_.onePdfName))
                          ? QStringLiteral("salida estándar")
                          : QFileInfo(settings_.onePdfName).absoluteFilePath();
    }
    history::Voucher voucher = RecordedVoucher(slot.answer.boxes, slot.answer.figures,
                                               slot.answer.code, history::kFromBatch, destination);
    if (onePdf_ != nullptr) {
        toRecord_.emplace_back(row.number, std::move(voucher));
    } else {
        ClearProgress();
        settings_.recorder->Record(voucher, row.number);
    }
}

QHash<QString, QString> BatchRun::Completed(const QHash<QString, QString>& values) const {
    if (settings_.employers.isEmpty()) {
        return values;
    }
    QString cuit = values.value(QStringLiteral("cuit")).trimmed();
    cuit.remove(u'-');
    const auto found = settings_.employers.constFind(cuit);
    if (found == settings_.employers.constEnd()) {
        return values;
    }
    QHash<QString, QString> completed = values;
    for (const auto& [column, value] : {std::pair{"establecimiento", &found->establecimiento},
                                        {"calle", &found->calle},
                                        {"cp", &found->cp},
                                        {"localidad", &found->localidad},
                                        {"provincia", &found->provincia}}) {
        const QString name = QString::fromLatin1(column);
        if (completed.value(name).trimmed().isEmpty() && !value->isEmpty()) {
            completed.insert(name, *value);
        }
    }
    return completed;
}

}  // namespace cli
