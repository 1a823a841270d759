// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "history/Store.h"

namespace history {

// The word that turns recording off, as --base or TALONARIO_BASE.
inline constexpr const char* kNoStore = "ninguna";
// The environment variable naming the store when --base is not given.
inline constexpr const char* kStoreVariable = "TALONARIO_BASE";

// Where the record goes: `option` (--base) when given, else TALONARIO_BASE,
// else the SQLite file in the user's data folder. Empty when recording is
// off (`off`, from --sin-historial, or the word "ninguna").
QString ChosenDestination(const QString& option, bool off);

// $XDG_DATA_HOME/talonario/talonario.sqlite (~/.local/share when unset).
QString DefaultDestination();

// Whether a destination names a PostgreSQL server rather than a file.
bool IsServerAddress(const QString& destination);

// A destination as it may be shown: a URL's password replaced by asterisks.
QString ShownDestination(const QString& destination);

// A PostgreSQL URL as libpq reads it, taken apart for Qt's driver.
struct ServerAddress {
    QString host;  // a name, an address, or a folder holding the server's socket
    int port = -1;
    QString user;
    QString password;
    QString database;
    QStringList options;  // the rest, as key='value'
    QString error;        // why the URL cannot be read; empty when it can
};
ServerAddress ReadServerAddress(const QString& url);

// Opens (creating it when new) the store at `destination`; null when empty.
// Throws StoreFailure.
std::unique_ptr<Store> OpenStore(const QString& destination);

}  // namespace history
