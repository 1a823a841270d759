#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace cli {

// One voucher's entries as the command line (or a batch row) gives them:
// values by option name (cli/VoucherOptions.h), and the cash box.
struct VoucherValues {
    QHash<QString, QString> values;
    bool cash = false;
    bool strict = false;  // the remarks beside validation refuse the voucher
};

struct VoucherOutcome {
    int status = 0;        // an exit status, cli/ExitStatus.h
    QString code;          // the payment code, once the PDF is written
    QStringList messages;  // what the voucher said, or why it was not written; one line each
};

// Fills a fresh voucher window off screen as a person would (each value typed
// key by key through the boxes' filters, the amount boxes left in tab order)
// and writes its two copies as one PDF at `path` (a name as
// platform::DecodeName gives it). Needs a QApplication; shows nothing.
VoucherOutcome WriteVoucher(const VoucherValues& input, const QString& path);

}  // namespace cli
