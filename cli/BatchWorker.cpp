// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchWorker.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>

#include "cli/BatchJob.h"
#include "cli/CommandPlatform.h"
#include "cli/ExitStatus.h"
#include "cli/VoucherFill.h"
#include "platform/QtPlatform.h"

namespace cli {

namespace {

BatchAnswer MakeVoucher(CommandPlatform& platform, const BatchJob& job) {
    VoucherValues input;
    input.values = job.values;
    input.cash = job.cash;
    input.strict = job.strict;
    input.columnNames = true;  // refusals name the CSV's column, not an option
    const VoucherOutcome outcome = WriteVoucher(input, QStringLiteral("lote.pdf"), platform);
    BatchAnswer answer;
    answer.row = job.row;
    QStringList said = outcome.messages;
    for (const QString& warning : outcome.warnings) {
        said << QStringLiteral("Aviso: ") + warning;
    }
    answer.message = said.join(QLatin1Char(' '));
    if (outcome.status != kDone) {
        answer.state = outcome.status == kRefused ? batch::kRowRefused : batch::kRowFailed;
        return answer;
    }
    answer.code = outcome.code.trimmed();
    answer.proposedName = outcome.proposedName;
    answer.figures = outcome.figures;
    answer.boxes = outcome.boxes;
    answer.state = batch::kWritten;
    if (job.keepPages || job.print) {
        answer.pages = platform.pages();
        for (platform::Page& page : answer.pages) {
            page.background = QImage();  // the batch lays its own under them
        }
    }
    if (job.keepPages) {
        return answer;
    }
    try {
        answer.pdf = platform::RenderPdf(platform.pages());
    } catch (const std::exception& error) {
        answer.state = batch::kRowFailed;
        answer.message = QString::fromUtf8(error.what());
    }
    return answer;
}

// The folders of this user's workers, beside the private temporary folder.
QString WorkersFolder() {
    platform::QtPlatform platform;
    try {
        return platform.TemporaryFolder();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

void RemoveWorkerFolder(qint64 pid) {
    if (const QString folder = WorkersFolder(); !folder.isEmpty()) {
        QDir(folder + QStringLiteral("/lote-%1").arg(pid)).removeRecursively();
    }
}

void RemoveStaleWorkerFolders() {
    const QString folder = WorkersFolder();
    if (folder.isEmpty()) {
        return;
    }
    for (const QString& name : QDir(folder).entryList({QStringLiteral("lote-*")}, QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = name.mid(5).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            QDir(QDir(folder).filePath(name)).removeRecursively();
        }
    }
}

int RunBatchWorker() {
    // Ctrl+C and a hang-up reach the whole process group, and a TERM may too:
    // the batch decides what stops, and closes our input when it is done.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGTERM, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
    // A batch killed outright takes its workers with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() == 1) {
        return kFailed;  // the batch was gone before the line above
    }
    CommandPlatform platform;
    platform.KeepPages();
    if (!platform.MakeOwnFolder()) {
        return kUnwritable;
    }
    QFile input;
    QFile output;
    if (!input.open(stdin, QIODevice::ReadOnly) || !output.open(stdout, QIODevice::WriteOnly)) {
        platform.RemoveOwnFolder();
        return kRefused;
    }
    for (QByteArray line = input.readLine(); !line.isEmpty(); line = input.readLine()) {
        output.write(EncodeAnswer(MakeVoucher(platform, DecodeJob(line))));
        output.flush();
    }
    platform.RemoveOwnFolder();
    return kDone;
}

}  // namespace cli
