// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the private CUPS server of with-cups.sh received: each queue's jobs
// arrive as PDFs in a folder of their own, named "<title>-job_<n>.pdf".

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <optional>

namespace spool {

// cups-pdf converts each job in the background; one page takes a second or
// two, so a job not done by then is stuck.
constexpr int kJobTimeoutMs = 30000;
constexpr int kToolTimeoutMs = 30000;

// The two queues: the default one and the second one, to choose.
struct Queue {
    QString name;
    QString out;
};

inline Queue First() {
    return {qEnvironmentVariable("TALONARIO_CUPS_QUEUE"),
            qEnvironmentVariable("TALONARIO_CUPS_OUT")};
}
inline Queue Second() {
    return {qEnvironmentVariable("TALONARIO_CUPS_QUEUE2"),
            qEnvironmentVariable("TALONARIO_CUPS_OUT2")};
}

// Runs a tool to completion; its output, or nothing when it fails or hangs.
inline std::optional<QByteArray> Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kToolTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        qWarning().noquote() << program << arguments.join(QLatin1Char(' '))
                             << "failed:" << process.readAllStandardError();
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

inline int JobNumber(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("-job_(\\d+)\\.pdf$"));
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The PDFs that arrived, oldest job first.
inline QStringList Arrived(const Queue& queue) {
    QStringList names = QDir(queue.out).entryList({"*.pdf"}, QDir::Files);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return JobNumber(a) < JobNumber(b); });
    for (QString& name : names) {
        name = queue.out + QLatin1Char('/') + name;
    }
    return names;
}

// True once the queue has no job waiting or in progress.
inline bool Idle(const Queue& queue) {
    const auto pending = Run(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue.name});
    return pending && pending->trimmed().isEmpty();
}

// Waits until the queue is idle, at least `expected` PDFs are there and
// every PDF it wrote is complete; returns them all, oldest job first. (A
// job just handed over may not be listed as waiting yet.)
inline QStringList Settled(const Queue& queue, qsizetype expected = 0) {
    QElapsedTimer timer;
    timer.start();
    while (true) {
        const QStringList pdfs = Arrived(queue);
        const bool complete = std::all_of(pdfs.begin(), pdfs.end(), [](const QString& pdf) {
            QProcess process;
            process.start(QStringLiteral("pdfinfo"), {pdf});
            return process.waitForFinished(kToolTimeoutMs) && process.exitCode() == 0;
        });
        if ((pdfs.size() >= expected && Idle(queue) && complete) ||
            timer.elapsed() > kJobTimeoutMs) {
            return pdfs;
        }
        QTest::qWait(200);
    }
}

// The job's title as cups-pdf gives it to the PDF (sometimes in brackets).
inline QString Title(const QString& pdf) {
    static const QRegularExpression pattern(QStringLiteral("^Title:\\s+(.*?)\\s*$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match =
        pattern.match(QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}).value_or("")));
    QString title = match.hasMatch() ? match.captured(1) : QString();
    if (title.startsWith(u'(') && title.endsWith(u')')) {
        title = title.mid(1, title.size() - 2);
    }
    return title;
}

inline QStringList Titles(const QStringList& pdfs) {
    QStringList titles;
    for (const QString& pdf : pdfs) {
        titles << Title(pdf);
    }
    return titles;
}

// The page as a sheet scanned at 150 dpi.
inline QImage Scan(const QString& pdf, const QTemporaryDir& scratch) {
    const QString prefix = scratch.filePath(QFileInfo(pdf).completeBaseName());
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("150"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

}  // namespace spool
