// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/QtPlatform.h"

namespace cli {

// The desktop of a voucher made without a window, for `--pdf` and for a
// batch's workers alike: the voucher's messages are kept for the caller
// instead of shown, and its one question (confirm?) is answered yes, as the
// command line already said what to do.
class CommandPlatform : public platform::QtPlatform {
  public:
    // Forgets what the last voucher said and made.
    void Start();
    const QStringList& messages() const { return messages_; }

    // A batch worker's: the pages are kept instead of written (the batch
    // writes every file itself), and the temporary bitmap goes to a folder
    // of this process alone, so that workers never wait on each other's.
    void KeepPages() { keepPages_ = true; }
    const std::vector<platform::Page>& pages() const { return pages_; }
    bool MakeOwnFolder();
    void RemoveOwnFolder();

    platform::Answer ShowMessage(QWidget* parent, const platform::Message& message) override;
    void WritePdf(const std::vector<platform::Page>& pages, const QString& path) override;
    QString ProgramFolder() override;
    QString TemporaryFolder() override;

  private:
    QStringList messages_;
    bool keepPages_ = false;
    std::vector<platform::Page> pages_;
    QString own_;
};

}  // namespace cli
