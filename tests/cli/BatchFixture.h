// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include "batch/CsvRows.h"

// Running `talonario --lote` as a user would, and reading what it left.
namespace batchtest {

struct Result {
    int status;
    QString err;
};

inline QProcessEnvironment Environment() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));  // it must need no display
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

inline Result Run(const QStringList& arguments,
                  const QProcessEnvironment& environment = Environment(), mode_t umask = 022) {
    QProcess process;
    process.setChildProcessModifier([umask] { ::umask(umask); });
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TALONARIO_BINARY), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {-1, QString::fromUtf8(process.readAllStandardError())};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

inline bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// A report keyed by row number: file, code, state, message, and the rest.
inline QHash<QString, QStringList> Report(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const batch::CsvTable table = batch::ReadCsv(file.readAll());
    QHash<QString, QStringList> rows;
    for (const batch::CsvRow& row : table.rows) {
        if (row.fields.value(0) != QStringLiteral("total")) {  // the counts' line
            QStringList fields = row.fields.mid(1);
            if (fields.size() > 1 && fields[1].startsWith(u'\t')) {
                fields[1].remove(0, 1);  // what keeps a spreadsheet from reading it as a number
            }
            rows.insert(row.fields.value(0), fields);
        }
    }
    return rows;
}

inline QHash<QString, QStringList> Results(const QString& folder) {
    return Report(QDir(folder).filePath(QStringLiteral("resultado.csv")));
}

// Names a run may leave only while it is working.
inline QStringList Leftovers(const QString& folder) {
    QStringList found;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(u'.') || name.contains(QStringLiteral(".pdf.")) ||
            name.contains(QStringLiteral(".csv."))) {
            found << name;
        }
    }
    return found;
}

}  // namespace batchtest
