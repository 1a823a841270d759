// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>
#include <stdexcept>

#include "platform/QtPlatform.h"

// The real platform (files, PDF writer) with nobody in front of it: the
// program's folder is a fresh temporary one, and a message box means the
// measured path went somewhere it should not, so it throws instead of waiting.
class BenchPlatform : public platform::QtPlatform {
  public:
    BenchPlatform() {
        if (!folder_.isValid()) {
            throw std::runtime_error("no temporary folder for the benchmarks");
        }
    }

    platform::Answer ShowMessage(QWidget*, const platform::Message& message) override {
        if (message.buttons == platform::Buttons::YesNo) {
            return platform::Answer::Yes;
        }
        throw std::runtime_error("unexpected message: " + message.text.toStdString());
    }
    QString DefaultPrinterName() override { return QStringLiteral("bench"); }
    void PrintPage(const platform::Page&, const QString&) override {}
    QString AskSaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString ProgramFolder() override { return folder_.path(); }
    QString TemporaryFolder() override { return folder_.path(); }

    QString folder() const { return folder_.path(); }

  private:
    QTemporaryDir folder_;
};
