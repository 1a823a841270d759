#include "batch/FileNames.h"

#include <unistd.h>

#include <QDir>
#include <cerrno>

#include "platform/Files.h"

namespace batch {

QString NumberedName(const QString& proposed, int attempt) {
    if (attempt <= 1) {
        return proposed;
    }
    const qsizetype dot = proposed.lastIndexOf(u'.');
    const QString stem = dot > 0 ? proposed.left(dot) : proposed;
    const QString extension = dot > 0 ? proposed.mid(dot) : QString();
    return QStringLiteral("%1 (%2)%3").arg(stem).arg(attempt).arg(extension);
}

QString ClaimName(const QString& temporary, const QString& folder, const QString& proposed) {
    const QByteArray from = platform::EncodeName(temporary);
    for (int attempt = 1;; ++attempt) {
        const QString name = NumberedName(proposed, attempt);
        const QByteArray to = platform::EncodeName(QDir(folder).filePath(name));
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return name;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
}

}  // namespace batch
