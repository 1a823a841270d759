// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandPlatform.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>

#include "platform/Files.h"

namespace cli {

void CommandPlatform::Start() {
    messages_.clear();
    pages_.clear();
}

platform::Answer CommandPlatform::ShowMessage(QWidget*, const platform::Message& message) {
    if (message.buttons == platform::Buttons::YesNo) {
        return platform::Answer::Yes;
    }
    messages_ << message.text;
    return platform::Answer::Ok;
}

void CommandPlatform::WritePdf(const std::vector<platform::Page>& pages, const QString& path) {
    if (keepPages_) {
        pages_ = pages;
    } else {
        QtPlatform::WritePdf(pages, path);
    }
}

bool CommandPlatform::MakeOwnFolder() {
    // Beside the user's private folder, named by the process, so that the
    // batch can remove it should this process be killed.
    own_ = QtPlatform::TemporaryFolder() + QStringLiteral("/lote-%1").arg(::getpid());
    const QByteArray name = platform::EncodeName(own_);
    return ::mkdir(name.constData(), 0700) == 0 || errno == EEXIST;
}

void CommandPlatform::RemoveOwnFolder() {
    if (!own_.isEmpty()) {
        QDir(own_).removeRecursively();
    }
}

QString CommandPlatform::ProgramFolder() {
    return own_.isEmpty() ? QtPlatform::ProgramFolder() : own_;
}

QString CommandPlatform::TemporaryFolder() {
    return own_.isEmpty() ? QtPlatform::TemporaryFolder() : own_;
}

}  // namespace cli
