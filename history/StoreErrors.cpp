// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/StoreErrors.h"

#include <QSqlError>
#include <cerrno>

#include "history/SqlStore.h"
#include "platform/ErrorTexts.h"

namespace history {

QString StoreErrorText(const QSqlError& error, bool server, const QString& shown) {
    const QString code = error.nativeErrorCode();
    if (!server) {
        bool ok = false;
        const int result = code.toInt(&ok) & 0xff;
        switch (ok ? result : -1) {
            case 5:  // SQLITE_BUSY
            case 6:  // SQLITE_LOCKED
                return QStringLiteral(
                           "la base %1 está bloqueada por otro programa que la usa "
                           "(se esperó %2 segundos)")
                    .arg(shown)
                    .arg(SqlStore::kBusyTimeoutMs / 1000);
            case 8:  // SQLITE_READONLY
                return QStringLiteral("la base %1 es de solo lectura").arg(shown);
            case 13:  // SQLITE_FULL
                return QStringLiteral("no se puede escribir en la base %1: %2")
                    .arg(shown, platform::SystemErrorText(ENOSPC));
            case 11:  // SQLITE_CORRUPT
            case 26:  // SQLITE_NOTADB
                return QStringLiteral(
                           "el archivo %1 no es una base de Talonario o está dañado; "
                           "no se lo modificó")
                    .arg(shown);
            case 14:  // SQLITE_CANTOPEN
                return QStringLiteral("no se puede abrir la base %1").arg(shown);
            case 10:  // SQLITE_IOERR
                return QStringLiteral("no se puede leer o escribir la base %1: %2")
                    .arg(shown, platform::SystemErrorText(EIO));
            default:
                return QStringLiteral("la base %1 dio un error (código %2)")
                    .arg(shown, code.isEmpty() ? QStringLiteral("desconocido") : code);
        }
    }
    if (code.isEmpty() || code.startsWith(QLatin1String("08"))) {
        return error.type() == QSqlError::ConnectionError
                   ? QStringLiteral("no se puede conectar con el servidor %1").arg(shown)
                   : QStringLiteral("se perdió la conexión con el servidor %1").arg(shown);
    }
    if (code.startsWith(QLatin1String("57P"))) {
        return QStringLiteral("el servidor %1 se detuvo o no acepta conexiones").arg(shown);
    }
    if (code.startsWith(QLatin1String("28"))) {
        return QStringLiteral("el servidor %1 rechazó el usuario o la contraseña").arg(shown);
    }
    if (code == QLatin1String("3D000")) {
        return QStringLiteral("la base de datos de %1 no existe en el servidor").arg(shown);
    }
    if (code == QLatin1String("42501")) {
        return QStringLiteral("el usuario no tiene permiso para usar la base %1").arg(shown);
    }
    if (code.startsWith(QLatin1String("53"))) {
        return QStringLiteral("el servidor %1 no tiene lugar: %2")
            .arg(shown, platform::SystemErrorText(ENOSPC));
    }
    if (code == QLatin1String("25006")) {
        return QStringLiteral("la base %1 es de solo lectura").arg(shown);
    }
    if (code == QLatin1String("55P03") || code.startsWith(QLatin1String("40"))) {
        return QStringLiteral("la base %1 está bloqueada por otro programa que la usa").arg(shown);
    }
    return QStringLiteral("la base %1 dio un error (SQLSTATE %2)").arg(shown, code);
}

}  // namespace history
