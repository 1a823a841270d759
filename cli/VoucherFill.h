// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <vector>

#include "batch/Report.h"
#include "platform/Platform.h"

namespace cli {

class CommandPlatform;

// One voucher's entries as the command line (or a batch row) gives them:
// values by option name (cli/VoucherOptions.h), and the cash box.
struct VoucherValues {
    QHash<QString, QString> values;
    bool cash = false;
    bool strict = false;  // the remarks beside validation refuse the voucher
    // Refusals name a value by its option ("--remuneracion: ...") or, in a
    // batch, by its CSV column ("remuneracion: ...").
    bool columnNames = false;
};

struct VoucherOutcome {
    int status = 0;        // an exit status, cli/ExitStatus.h
    QString code;          // the payment code, once the PDF is written
    QString proposedName;  // the file name the save dialog proposes for it, likewise
    QStringList messages;  // what the voucher said, or why it was not written; one line each
    QStringList warnings;  // remarks beside validation, without --estricto; one line each
    batch::VoucherFigures figures;           // who and how much, once validated
    std::vector<platform::PrintedJob> jobs;  // the copies printed, when printed
    // Every entry box's text as printed, by control name ("Check1" "0" or
    // "1"), once written: what the record keeps and a reprint types back.
    QMap<QString, QString> boxes;
};

// Fills a fresh voucher window off screen as a person would (each value typed
// key by key through the boxes' filters, the amount boxes left in tab order)
// and writes its two copies as one PDF at `path` (a name as
// platform::DecodeName gives it). Needs a QApplication; shows nothing.
VoucherOutcome WriteVoucher(const VoucherValues& input, const QString& path);

// The same voucher printed instead of written: its two copies, one job each
// and named as the window names them, on `printer` (a CUPS queue; empty: the
// default printer). A printer missing, stopped or refusing is status
// kUnwritable; copy 2 is not sent when copy 1 failed.
VoucherOutcome PrintVoucher(const VoucherValues& input, const QString& printer);

// The same on the caller's platform (a batch worker's keeps the pages and
// its bitmap's folder of its own). `messages` gets what the platform was
// shown, then the refusals and failures.
VoucherOutcome WriteVoucher(const VoucherValues& input, const QString& path,
                            CommandPlatform& platform);

// A recorded voucher again: its boxes set to the texts it was printed with,
// the amount boxes left in tab order, and written like WriteVoucher().
VoucherOutcome WriteStoredVoucher(const QMap<QString, QString>& boxes, const QString& path);

}  // namespace cli
