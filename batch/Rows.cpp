#include "batch/Rows.h"

#include "platform/Files.h"

namespace batch {

namespace {

bool IsYes(const QString& value) {
    static const QStringList yes{"si", "sí", "s", "x", "1", "true", "verdadero"};
    return yes.contains(value.trimmed().toLower());
}

bool IsNo(const QString& value) {
    static const QStringList no{"", "no", "n", "0", "false", "falso"};
    return no.contains(value.trimmed().toLower());
}

}  // namespace

Columns ReadColumns(const QStringList& header, const QStringList& known) {
    Columns columns;
    for (const QString& title : header) {
        const QString name = title.trimmed().toLower();
        if (!known.contains(name)) {
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

RowInput ReadRow(const CsvRow& record, const QStringList& columns, const QString& cashColumn) {
    RowInput row;
    row.number = record.number;
    if (record.fields.size() > columns.size()) {
        row.refusal = QStringLiteral("la fila tiene %1 campos y el encabezado %2")
                          .arg(record.fields.size())
                          .arg(columns.size());
    }
    for (qsizetype i = 0; i < record.fields.size() && i < columns.size(); ++i) {
        const QString& value = record.fields[i];
        if (columns[i] != cashColumn) {
            row.values.insert(columns[i], value);
        } else if (IsYes(value)) {
            row.cash = true;
        } else if (!IsNo(value) && row.refusal.isEmpty()) {
            row.refusal = QStringLiteral("%1: «%2» no es sí ni no")
                              .arg(cashColumn, platform::Printable(value));
        }
    }
    return row;
}

}  // namespace batch
