#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "batch/CsvRows.h"

namespace batch {

// The header's columns, each one of `known` (compared without case and
// surrounding blanks); `error` says what is wrong with the header, if anything.
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
// `cashColumn` names the column read as yes or no for the cash box.
RowInput ReadRow(const CsvRow& record, const QStringList& columns, const QString& cashColumn);

}  // namespace batch
