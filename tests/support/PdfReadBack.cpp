// SPDX-License-Identifier: GPL-3.0-or-later
#include "PdfReadBack.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {
QByteArray Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}
}  // namespace

int PdfPageCount(const QString& path) {
    const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {path}));
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QString PdfPageText(const QString& path, int page) {
    const QString number = QString::number(page);
    return QString::fromUtf8(Run(
        QStringLiteral("pdftotext"),
        {QStringLiteral("-f"), number, QStringLiteral("-l"), number, path, QStringLiteral("-")}));
}

QImage PdfPageImage(const QString& path, int page, int dotsPerInch) {
    QTemporaryDir dir;
    const QString number = QString::number(page);
    const QString prefix = dir.filePath(QStringLiteral("page"));
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dotsPerInch), QStringLiteral("-f"), number,
         QStringLiteral("-l"), number, QStringLiteral("-singlefile"), QStringLiteral("-png"), path,
         prefix});
    return QImage(prefix + QStringLiteral(".png"));
}
