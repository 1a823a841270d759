// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPageLayout>
#include <QPicture>
#include <QSize>
#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

class QWidget;

namespace platform {

enum class Icon { None, Critical, Information };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

struct Message {
    QString title;
    QString text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

// A failing platform operation; `what()` is the reason in the user's language.
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One page to print or save: the window as recorded, and its size in pixels
// at 15 twips (1/96 inch) each, which fixes its physical size on paper.
struct Page {
    QPicture picture;
    QSize pixels;
    // The voucher picture, painted under `picture` from the top-left corner.
    // Kept out of the recording, which would store it compressed as PNG on
    // every page (most of a voucher's time went there).
    QImage background;
};

// What the print dialog was left with: the printer (or a PDF file, when the
// user printed to a file), the paper, how many copies of each page and
// which of the pages.
struct PrintChoice {
    QString printerName;  // empty: the default printer
    QString outputFile;   // not empty: a PDF file instead of a printer
    QPageLayout layout;   // invalid: the printer's own paper
    int copies = 1;
    int firstPage = 0;  // 1-based and inclusive; 0: every page
    int lastPage = 0;
};

// One page handed to the printing system: the queue, and the job's number
// there (0 when the printing system did not tell it).
struct PrintedJob {
    QString printer;
    int id = 0;
};

// Everything the voucher asks of the desktop, behind one interface so that
// tests can script dialogs and capture pages instead of waiting on a person.
class Platform {
  public:
    virtual ~Platform() = default;

    // Modal; returns the button chosen (Yes is the default of Yes/No).
    virtual Answer ShowMessage(QWidget* parent, const Message& message) = 0;

    // Name of the default printer; throws Failure when there is none.
    virtual QString DefaultPrinterName() = 0;
    // Prints one page as one job named `jobName` on the default printer;
    // throws Failure.
    virtual void PrintPage(const Page& page, const QString& jobName) = 0;
    // Shows the pages as they will print (a print preview) and the print
    // dialog's choice of printer, paper and copies; nothing when the user
    // cancels. Prints nothing itself.
    virtual std::optional<PrintChoice> ChoosePrint(QWidget* parent,
                                                   const std::vector<Page>& pages) = 0;
    // Prints one page as one job named `jobName` on the chosen printer (not
    // to a file); refuses a queue that is missing, stopped or rejecting
    // jobs. Throws Failure.
    virtual PrintedJob PrintChosen(const Page& page, const QString& jobName,
                                   const PrintChoice& choice) = 0;
    // Writes the pages as one PDF at `path`; throws Failure.
    virtual void WritePdf(const std::vector<Page>& pages, const QString& path) = 0;
    // Asks where to save; an empty result means the user cancelled.
    virtual QString AskSaveFileName(QWidget* parent, const QString& title,
                                    const QString& proposedPath, const QString& filter) = 0;

    // The folder holding the program, with no trailing separator.
    virtual QString ProgramFolder() = 0;
    // Where to put a temporary file when the program's folder is not writable.
    virtual QString TemporaryFolder() = 0;
    // Writes a 24-bit Windows bitmap, replacing the name itself (never
    // writing through a link planted there); throws Failure.
    virtual void SavePicture(const QImage& picture, const QString& path) = 0;
    // The picture stays usable after the file is gone; throws Failure.
    virtual QImage LoadPicture(const QString& path) = 0;
    virtual void DeleteFile(const QString& path) = 0;

    // Handles the queued window events (painting, timers) before returning;
    // user input (keys, mouse) stays queued until the caller returns.
    virtual void ProcessEvents() = 0;
};

}  // namespace platform
