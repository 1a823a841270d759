// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "batch/CsvRows.h"

namespace batch {

// The header's columns, each one of `known` as a spreadsheet user may write
// it (batch/Columns.h); `error` says what is wrong with the header, if anything.
struct Columns {
    QStringList names;
    QString error;
};
Columns ReadColumns(const QStringList& header, const QStringList& known);

// One CSV row as a voucher's entries: the values by column, the cash box,
// and why the row is refused before any voucher is made (empty when it is not).
struct RowInput {
    int number = 0;
    QHash<QString, QString> values;
    bool cash = false;
    QString refusal;
};
// `cashColumn` names the column read as yes or no for the cash box; the
// `amountColumns` are read as a spreadsheet writes amounts, with
// `decimalComma` when the file's amounts are known to use the comma for
// decimals (a semicolon CSV), and handed on as "pesos,cents".
struct RowRules {
    QStringList columns;
    QString cashColumn;
    QStringList amountColumns;
    bool decimalComma = false;
};
RowInput ReadRow(const CsvRow& record, const RowRules& rules);

}  // namespace batch
