// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Recording.h"

#include "cli/CommandLine.h"
#include "cli/Tell.h"
#include "history/Destination.h"

namespace cli {

QString RecordDestination(const CommandLine& line) {
    return history::ChosenDestination(line.value(QString::fromUtf8(kStoreOption)),
                                      line.isSet(QString::fromUtf8(kNoRecordOption)));
}

history::Voucher RecordedVoucher(const QMap<QString, QString>& boxes,
                                 const batch::VoucherFigures& figures, const QString& code,
                                 const char* how, const QString& destination) {
    history::Voucher voucher;
    voucher.boxes = boxes;
    voucher.contribution = figures.contribution;
    voucher.total = figures.total;
    voucher.paymentCode = code.trimmed();
    voucher.issued = QDateTime::currentDateTime();
    voucher.how = QString::fromUtf8(how);
    voucher.destination = destination;
    voucher.version = QStringLiteral(TALONARIO_VERSION);
    return voucher;
}

Recorder::Recorder(QString destination, QTextStream& err)
    : destination_(std::move(destination)), err_(err) {}

Recorder::~Recorder() = default;

void Recorder::Record(const history::Voucher& voucher, int row) {
    if (failed_ || destination_.isEmpty()) {
        return;
    }
    try {
        if (!store_) {
            store_ = history::OpenStore(destination_);
        }
        store_->Record(voucher);
    } catch (const history::StoreFailure& failure) {
        Warn(QString::fromUtf8(failure.what()), row);
    }
}

void Recorder::Warn(const QString& why, int row) {
    failed_ = true;
    store_.reset();
    if (row > 0) {
        Warning(err_,
                QStringLiteral("desde la fila %1 los comprobantes no quedan en el historial: %2")
                    .arg(row)
                    .arg(why));
    } else {
        Warning(err_, QStringLiteral("el comprobante no quedó en el historial: %1").arg(why));
    }
}

QString PrintedDestination(const std::vector<platform::PrintedJob>& jobs, const QString& printer) {
    QStringList ids;
    for (const platform::PrintedJob& job : jobs) {
        ids << (job.id > 0 ? QString::number(job.id) : QStringLiteral("?"));
    }
    return QStringLiteral("%1 (trabajos %2)")
        .arg(jobs.empty() ? printer : jobs.front().printer, ids.join(QStringLiteral(", ")));
}

}  // namespace cli
