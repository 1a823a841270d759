// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform {

void InstallSpanishQtTranslation() {
    static QTranslator translator;
    if (translator.isEmpty() &&
        translator.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&translator);
    }
}

QString MissingDisplay() {
    const QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platforms.isEmpty()) {
        if (x11 || wayland) {
            return {};
        }
    } else {
        // A list ("wayland;xcb") is tried in order: one usable entry is enough.
        for (const QString& entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString name = entry.section(QLatin1Char(':'), 0, 0);
            if ((name == QStringLiteral("xcb") && x11) ||
                (name.startsWith(QStringLiteral("wayland")) && wayland) ||
                (name != QStringLiteral("xcb") && !name.startsWith(QStringLiteral("wayland")))) {
                return {};
            }
        }
    }
    return QStringLiteral(
        "no hay pantalla donde abrir la ventana (DISPLAY y WAYLAND_DISPLAY no están "
        "definidas); para generar el comprobante sin ventana use --pdf, vea --help");
}

QString UnreachableDisplay() {
    const QString x11 = qEnvironmentVariable("DISPLAY");
    const QString shown = x11.isEmpty() ? qEnvironmentVariable("WAYLAND_DISPLAY") : x11;
    return QStringLiteral(
               "no se puede abrir la ventana en la pantalla «%1», que no responde; para "
               "generar el comprobante sin ventana use --pdf, vea --help")
        .arg(shown);
}

}  // namespace platform
