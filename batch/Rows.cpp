// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/Rows.h"

#include "batch/Cash.h"
#include "batch/Columns.h"
#include "entry/WrittenAmount.h"
#include "platform/Files.h"

namespace batch {


Columns ReadColumns(const QStringList& header, const QStringList& known) {
    Columns columns;
    for (const QString& title : header) {
        const QString name = CanonicalColumn(title, known);
        if (name.isEmpty()) {
            columns.error =
                QStringLiteral("columna desconocida «%1»; las columnas posibles son: %2")
                    .arg(platform::Printable(title), known.join(QStringLiteral(", ")));
            return columns;
        }
        if (columns.names.contains(name)) {
            columns.error = QStringLiteral("la columna «%1» está dos veces").arg(name);
            return columns;
        }
        columns.names << name;
    }
    return columns;
}

RowInput ReadRow(const CsvRow& record, const RowRules& rules) {
    const QStringList& columns = rules.columns;
    RowInput row;
    row.number = record.number;
    if (record.fields.size() > columns.size()) {
        row.refusal = QStringLiteral("la fila tiene %1 campos y el encabezado %2")
                          .arg(record.fields.size())
                          .arg(columns.size());
    }
    for (qsizetype i = 0; i < record.fields.size() && i < columns.size(); ++i) {
        const QString& value = record.fields[i];
        if (columns[i] == rules.cashColumn) {
            const std::optional<bool> cash = ReadCash(value);
            row.cash = cash.value_or(false);
            if (!cash && row.refusal.isEmpty()) {
                row.refusal = QStringLiteral("%1: «%2» no es sí ni no")
                                  .arg(rules.cashColumn, platform::Printable(value));
            }
        } else if (rules.amountColumns.contains(columns[i]) && !value.trimmed().isEmpty()) {
            const entry::WrittenAmount amount =
                entry::ReadSpreadsheetAmount(value, rules.decimalComma);
            if (amount.reading == entry::WrittenAmount::Reading::Amount) {
                row.values.insert(columns[i],
                                  amount.amount.cents.isEmpty()
                                      ? amount.amount.pesos
                                      : amount.amount.pesos + u',' + amount.amount.cents);
            } else if (row.refusal.isEmpty()) {
                row.refusal =
                    columns[i] + QStringLiteral(": ") +
                    entry::WrittenAmountRefusal(platform::Printable(value), amount.reading);
            }
        } else {
            row.values.insert(columns[i], value);
        }
    }
    return row;
}

}  // namespace batch
