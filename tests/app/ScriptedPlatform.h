// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/QtPlatform.h"

// The real platform with the person and the printer scripted: message boxes
// answer from a queue and are recorded, printed pages are captured, and the
// program's folder is a fresh temporary one. No test ever waits on a dialog.
class ScriptedPlatform : public platform::QtPlatform {
  public:
    std::vector<platform::Message> messages;
    std::deque<platform::Answer> answers;  // empty: Yes for Yes/No, OK otherwise
    std::function<void(const platform::Message&)> onMessage;

    bool printerInstalled = true;
    std::vector<platform::Page> printed;
    QStringList jobNames;                                // one per printed page
    std::function<void(const platform::Page&)> onPrint;  // may throw to fail a copy
    // The preview: what it showed, and the choice made in it (none: cancelled).
    std::vector<std::vector<platform::Page>> previewed;
    std::optional<platform::PrintChoice> printChoice = platform::PrintChoice{};
    std::function<void()> onPreview;               // while the preview is showing
    std::vector<platform::PrintChoice> chosenFor;  // one per page printed from it
    std::deque<QString> saveNames;                 // empty: the user cancels
    QStringList proposedNames;

    QTemporaryDir programDir;
    QTemporaryDir temporaryDir;
    QString programFolderOverride;

    platform::Answer ShowMessage(QWidget*, const platform::Message& message) override {
        messages.push_back(message);
        if (onMessage) {
            onMessage(message);
        }
        if (!answers.empty()) {
            const platform::Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return message.buttons == platform::Buttons::YesNo ? platform::Answer::Yes
                                                           : platform::Answer::Ok;
    }
    QString DefaultPrinterName() override {
        if (!printerInstalled) {
            throw platform::Failure("no printer");
        }
        return QStringLiteral("Prueba");
    }
    void PrintPage(const platform::Page& page, const QString& jobName) override {
        if (onPrint) {
            onPrint(page);
        }
        printed.push_back(page);
        jobNames << jobName;
    }
    std::optional<platform::PrintChoice> ChoosePrint(
        QWidget*, const std::vector<platform::Page>& pages) override {
        previewed.push_back(pages);
        if (onPreview) {
            onPreview();
        }
        return printChoice;
    }
    platform::PrintedJob PrintChosen(const platform::Page& page, const QString& jobName,
                                     const platform::PrintChoice& choice) override {
        if (onPrint) {
            onPrint(page);
        }
        printed.push_back(page);
        jobNames << jobName;
        chosenFor.push_back(choice);
        return {choice.printerName.isEmpty() ? QStringLiteral("Prueba") : choice.printerName,
                int(printed.size())};
    }
    QString AskSaveFileName(QWidget*, const QString&, const QString& proposed,
                            const QString&) override {
        proposedNames << proposed;
        if (saveNames.empty()) {
            return {};
        }
        const QString name = saveNames.front();
        saveNames.pop_front();
        return name;
    }
    QString ProgramFolder() override {
        return programFolderOverride.isEmpty() ? programDir.path() : programFolderOverride;
    }
    QString TemporaryFolder() override { return temporaryDir.path(); }

    QStringList messageTexts() const {
        QStringList texts;
        for (const auto& m : messages) {
            texts << m.text;
        }
        return texts;
    }
};

// A captured page drawn as printer and PDF draw it, on a picture of its size
// filled first with `ground` (white as paper, or a colour that shows what the
// page leaves unpainted).
inline QImage Rasterise(const platform::Page& page, QColor ground = Qt::white) {
    QImage image(page.pixels, QImage::Format_RGB32);
    image.fill(ground);
    QPainter painter(&image);
    platform::PaintPage(painter, page);
    return image;
}
