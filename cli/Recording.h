// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QTextStream>
#include <memory>
#include <vector>

#include "batch/Report.h"
#include "history/Store.h"
#include "platform/Platform.h"

namespace cli {

class CommandLine;

// The options that choose the record, for every command that records.
inline constexpr const char* kStoreOption = "base";
inline constexpr const char* kNoRecordOption = "sin-historial";

// Where this command line's record goes (--base, --sin-historial,
// TALONARIO_BASE); empty when it is off.
QString RecordDestination(const CommandLine& line);

// A voucher that has left, as the record keeps it.
history::Voucher RecordedVoucher(const QMap<QString, QString>& boxes,
                                 const batch::VoucherFigures& figures, const QString& code,
                                 const char* how, const QString& destination);

// Where printed copies went, as the record and the batch's report say it:
// "COLA (trabajos 12, 13)"; `printer` names the queue when no job did.
QString PrintedDestination(const std::vector<platform::PrintedJob>& jobs, const QString& printer);

// Records the vouchers of one run. The store is opened with the first; a
// failure never stops the run: it is told once on standard error and the
// run's later vouchers are not tried, as the store would refuse them too.
class Recorder {
  public:
    Recorder(QString destination, QTextStream& err);
    ~Recorder();

    // `row`: the batch's row, for the warning; 0 outside a batch.
    void Record(const history::Voucher& voucher, int row = 0);
    bool failed() const { return failed_; }

  private:
    void Warn(const QString& why, int row);

    QString destination_;
    QTextStream& err_;
    std::unique_ptr<history::Store> store_;
    bool failed_ = false;
};

}  // namespace cli
