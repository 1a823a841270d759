// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramRun.h"

#include <sys/stat.h>
#include <QProcess>

QProcessEnvironment EnvironmentWithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

ProgramResult RunProgram(const QString& binary, const QStringList& arguments,
                         const QProcessEnvironment& environment, mode_t umask) {
    QProcess process;
    process.setChildProcessModifier([umask] { ::umask(umask); });
    process.setProcessEnvironment(environment);
    process.start(binary, arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        return {-1, {}, {}};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}
