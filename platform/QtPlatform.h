// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTemporaryDir>
#include <memory>

#include "platform/Platform.h"

namespace platform {

// The real desktop: Qt message boxes and file dialogs, CUPS through
// QPrinter and Qt's print preview, files on disk. The printing is in
// QtPrinting.cpp.
class QtPlatform : public Platform {
  public:
    Answer ShowMessage(QWidget* parent, const Message& message) override;
    QString DefaultPrinterName() override;
    void PrintPage(const Page& page, const QString& jobName) override;
    std::optional<PrintChoice> ChoosePrint(QWidget* parent,
                                           const std::vector<Page>& pages) override;
    PrintedJob PrintChosen(const Page& page, const QString& jobName,
                           const PrintChoice& choice) override;
    void WritePdf(const std::vector<Page>& pages, const QString& path) override;
    QString AskSaveFileName(QWidget* parent, const QString& title, const QString& proposedPath,
                            const QString& filter) override;
    QString ProgramFolder() override;
    QString TemporaryFolder() override;
    void SavePicture(const QImage& picture, const QString& path) override;
    QImage LoadPicture(const QString& path) override;
    void DeleteFile(const QString& path) override;
    void ProcessEvents() override;

  private:
    QString privateFolder_;
    std::unique_ptr<QTemporaryDir> fallbackFolder_;
};

// Where the save dialog starts for `proposedPath` (a bare name or a full
// path): always absolute, in a folder that exists: the proposed one, else
// the user's documents folder, else the home folder, else the current one.
QString ProposedSavePath(const QString& proposedPath);

// Replays a recorded page at its physical size (one pixel = 1/96 inch) from
// the top-left of the printable area. Images go lossless and unsmoothed so
// the barcode keeps its crisp bars.
void PaintPage(QPainter& painter, const Page& page);

// The pages as one PDF, each at its recorded size, streamed into `device`
// (throws Failure when the PDF cannot be made); RenderPdf gives it as bytes.
void WritePdfPages(const std::vector<Page>& pages, QIODevice& device);
QByteArray RenderPdf(const std::vector<Page>& pages);

}  // namespace platform
