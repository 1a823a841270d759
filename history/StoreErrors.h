// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSqlError;

namespace history {

// The Spanish reason for what a database said (SQLite's result codes,
// PostgreSQL's SQLSTATE), naming `shown`.
QString StoreErrorText(const QSqlError& error, bool server, const QString& shown);

}  // namespace history
