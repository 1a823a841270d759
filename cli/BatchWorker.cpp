// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchWorker.h"

#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>

#include "cli/BatchJob.h"
#include "cli/ExitStatus.h"
#include "cli/VoucherFill.h"
#include "platform/Files.h"
#include "platform/QtPlatform.h"

namespace cli {

namespace {

// A worker's desktop: messages are collected for the answer (the one
// question is answered yes, as on the command line), the temporary bitmap
// goes to a folder of this process alone so that workers never wait on each
// other's, and the pages are kept instead of written.
class WorkerPlatform : public platform::QtPlatform {
  public:
    void Start() {
        messages_.clear();
        pages_.clear();
    }
    const QStringList& messages() const { return messages_; }
    const std::vector<platform::Page>& pages() const { return pages_; }
    bool MakeOwnFolder() {
        // Beside the user's private folder, named by the process, so that
        // the batch can remove it should this process be killed.
        own_ = QtPlatform::TemporaryFolder() + QStringLiteral("/lote-%1").arg(::getpid());
        const QByteArray name = platform::EncodeName(own_);
        return ::mkdir(name.constData(), 0700) == 0 || errno == EEXIST;
    }
    void RemoveOwnFolder() { QDir(own_).removeRecursively(); }

    platform::Answer ShowMessage(QWidget*, const platform::Message& message) override {
        if (message.buttons == platform::Buttons::YesNo) {
            return platform::Answer::Yes;
        }
        messages_ << message.text;
        return platform::Answer::Ok;
    }
    void WritePdf(const std::vector<platform::Page>& pages, const QString&) override {
        pages_ = pages;
    }
    QString ProgramFolder() override { return own_; }
    QString TemporaryFolder() override { return own_; }

  private:
    QString own_;
    QStringList messages_;
    std::vector<platform::Page> pages_;
};

BatchAnswer MakeVoucher(WorkerPlatform& platform, const BatchJob& job) {
    platform.Start();
    VoucherValues input;
    input.values = job.values;
    input.cash = job.cash;
    input.strict = job.strict;
    input.columnNames = true;  // refusals name the CSV's column, not an option
    const VoucherOutcome outcome = WriteVoucher(input, QStringLiteral("lote.pdf"), platform);
    BatchAnswer answer;
    answer.row = job.row;
    answer.message = (platform.messages() + outcome.messages).join(QLatin1Char(' '));
    if (outcome.status != kDone) {
        answer.state = outcome.status == kRefused ? batch::kRowRefused : batch::kRowFailed;
        return answer;
    }
    answer.code = outcome.code.trimmed();
    answer.proposedName = outcome.proposedName;
    answer.figures = outcome.figures;
    answer.boxes = outcome.boxes;
    answer.state = batch::kWritten;
    if (job.keepPages) {
        answer.pages = platform.pages();
        for (platform::Page& page : answer.pages) {
            page.background = QImage();  // the batch lays its own under them
        }
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
    WorkerPlatform platform;
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
