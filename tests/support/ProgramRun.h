// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The program run as a command line: no display, nothing on standard input.
struct ProgramResult {
    int status;  // -1 when it did not end within a minute
    QString out;
    QString err;
};

// The environment of a command-line run: the test's own, without a display.
QProcessEnvironment EnvironmentWithoutDisplay();

ProgramResult RunProgram(const QString& binary, const QStringList& arguments,
                         const QProcessEnvironment& environment = EnvironmentWithoutDisplay(),
                         mode_t umask = 022);
