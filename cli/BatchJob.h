// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <vector>

#include "batch/Report.h"
#include "platform/Platform.h"

namespace cli {

// What the batch and its workers say to each other: one JSON object a line,
// a job on the worker's standard input, its answer on its standard output.

struct BatchJob {
    int row = 0;
    QHash<QString, QString> values;  // by option name
    bool cash = false;
    bool strict = false;
    bool keepPages = false;  // one-PDF runs: the pages come back, not a PDF
    bool print = false;      // the pages come back too, for the batch to print
};

struct BatchAnswer {
    int row = 0;
    QString state;  // batch::kWritten, kRowRefused or kRowFailed
    QString message;
    QString code;
    QString proposedName;
    batch::VoucherFigures figures;
    QMap<QString, QString> boxes;       // as printed, for the record
    QByteArray pdf;                     // the voucher's PDF, unless keepPages
    std::vector<platform::Page> pages;  // with keepPages or print; without their background
};

QByteArray EncodeJob(const BatchJob& job);
BatchJob DecodeJob(const QByteArray& line);
QByteArray EncodeAnswer(const BatchAnswer& answer);
// `background` is laid under every page that comes back (the workers send
// only what lies on it). An unreadable line gives an answer in state error.
BatchAnswer DecodeAnswer(const QByteArray& line, const QImage& background);

}  // namespace cli
