// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/Schema.h"

namespace history {

namespace {

// The boxes travel as one JSON object: a new box on the voucher needs no
// new column. The columns beside it are what lists are filtered by.
QStringList First(bool server) {
    const QString id = server ? QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY")
                              : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    return {
        QStringLiteral("CREATE TABLE vouchers ("
                       "id %1, "
                       "issued TEXT NOT NULL, "
                       "how TEXT NOT NULL, "
                       "destination TEXT NOT NULL, "
                       "program_version TEXT NOT NULL, "
                       "cuit TEXT NOT NULL, "
                       "name TEXT NOT NULL, "
                       "name_key TEXT NOT NULL, "
                       "period TEXT NOT NULL, "
                       "contribution TEXT NOT NULL, "
                       "total TEXT NOT NULL, "
                       "payment_code TEXT NOT NULL, "
                       "boxes TEXT NOT NULL)")
            .arg(id),
        QStringLiteral("CREATE INDEX vouchers_by_cuit ON vouchers (cuit, period)"),
        QStringLiteral("CREATE INDEX vouchers_by_period ON vouchers (period)"),
        QStringLiteral("CREATE TABLE employers ("
                       "cuit TEXT PRIMARY KEY, "
                       "establecimiento TEXT NOT NULL, "
                       "calle TEXT NOT NULL, "
                       "cp TEXT NOT NULL, "
                       "localidad TEXT NOT NULL, "
                       "provincia TEXT NOT NULL, "
                       "updated TEXT NOT NULL)"),
        QStringLiteral("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
    };
}

}  // namespace

const std::vector<QStringList>& Migrations(bool server) {
    static const std::vector<QStringList> file{First(false)};
    static const std::vector<QStringList> remote{First(true)};
    return server ? remote : file;
}

}  // namespace history
