// SPDX-License-Identifier: GPL-3.0-or-later
// The printer side of the real desktop: pages replayed at their size, the
// default printer's jobs, and the print preview with the print dialog's
// choice of printer, paper and copies.
#include <QLibrary>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <ctime>

#include "platform/ErrorTexts.h"
#include "platform/QtPlatform.h"

namespace platform {

namespace {

constexpr double kPixelsPerInch = 96.0;  // 15 twips per pixel

// libcups is looked up when a page has been printed (Qt's print support has
// loaded it by then) rather than linked, so that the program starts without it.
QLibrary& Cups() {
    static QLibrary cups(QStringLiteral("cups"), 2);
    return cups;
}

// The last CUPS request's refusal, if any.
QString LastCupsRefusal() {
    using LastError = int (*)();
    using LastErrorString = const char* (*)();
    constexpr int kFirstFailure = 0x0200;  // IPP statuses below this are successes
    const auto lastError = reinterpret_cast<LastError>(Cups().resolve("cupsLastError"));
    const auto lastErrorString =
        reinterpret_cast<LastErrorString>(Cups().resolve("cupsLastErrorString"));
    if (lastError == nullptr || lastErrorString == nullptr || lastError() < kFirstFailure) {
        return {};
    }
    return CupsRefusalText(lastError(), QString::fromUtf8(lastErrorString()));
}

// libcups 2's cups_job_t, as its ABI lays it out.
struct CupsJob {
    int id;
    char* dest;
    char* title;
    char* user;
    char* format;
    int state;
    int size;
    int priority;
    std::time_t completedTime;
    std::time_t creationTime;
    std::time_t processingTime;
};

// The number CUPS gave this user's newest job of that title on `printer`,
// or 0 when it cannot tell.
int NewestJobId(const QString& printer, const QString& title) {
    using GetJobs = int (*)(CupsJob**, const char*, int, int);
    using FreeJobs = void (*)(int, CupsJob*);
    constexpr int kMine = 1;
    constexpr int kAllJobs = -1;  // finished ones too: a fast queue is done already
    const auto getJobs = reinterpret_cast<GetJobs>(Cups().resolve("cupsGetJobs"));
    const auto freeJobs = reinterpret_cast<FreeJobs>(Cups().resolve("cupsFreeJobs"));
    if (getJobs == nullptr || freeJobs == nullptr) {
        return 0;
    }
    CupsJob* jobs = nullptr;
    const int count = getJobs(&jobs, printer.toUtf8().constData(), kMine, kAllJobs);
    int newest = 0;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].title != nullptr && QString::fromUtf8(jobs[i].title) == title) {
            newest = std::max(newest, jobs[i].id);
        }
    }
    if (jobs != nullptr) {
        freeJobs(count, jobs);
    }
    return newest;
}

// Paints the page and hands it to the printing system; throws Failure.
void PaintAndSend(QPrinter& printer, const Page& page) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        throw Failure("No se pudo imprimir en " + printer.printerName().toStdString());
    }
    PaintPage(painter, page);
    if (!painter.end()) {
        throw Failure("La impresora rechazó el trabajo");
    }
    // Qt hands the job to CUPS in end() and reports success even when the
    // queue refused it; CUPS itself knows.
    if (const QString refusal = LastCupsRefusal(); !refusal.isEmpty()) {
        throw Failure("La impresora rechazó el trabajo: " + refusal.toStdString());
    }
}

}  // namespace

QString QtPlatform::DefaultPrinterName() {
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        throw Failure("No hay una impresora predeterminada");
    }
    return name;
}

void PaintPage(QPainter& painter, const Page& page) {
    painter.setRenderHint(QPainter::LosslessImageRendering);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Replaying a picture already scales it from the resolution it was
    // recorded at to the device's; what is left is to make one recorded
    // pixel 1/96 inch, whatever the screen's resolution was.
    painter.scale(page.picture.logicalDpiX() / kPixelsPerInch,
                  page.picture.logicalDpiY() / kPixelsPerInch);
    if (!page.background.isNull()) {
        // At the scale the picture is replayed at, and cut to the page as
        // the window cut it.
        painter.save();
        painter.scale(qreal(painter.device()->logicalDpiX()) / page.picture.logicalDpiX(),
                      qreal(painter.device()->logicalDpiY()) / page.picture.logicalDpiY());
        const QRect window(QPoint(), page.pixels);
        painter.fillRect(window, Qt::white);
        painter.setClipRect(window, Qt::IntersectClip);
        painter.drawImage(0, 0, page.background);
        painter.restore();
    }
    painter.drawPicture(0, 0, page.picture);
}

void QtPlatform::PrintPage(const Page& page, const QString& jobName) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(DefaultPrinterName());
    printer.setDocName(jobName);
    PaintAndSend(printer, page);
}

std::optional<PrintChoice> QtPlatform::ChoosePrint(QWidget* parent,
                                                   const std::vector<Page>& pages) {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog dialog(&printer, parent);
    bool printAsked = false;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&pages, &printAsked](QPrinter* target) {
                         // The preview paints on a recording; the dialog's own print
                         // paints on the printer, where the pages must not go as one
                         // job: what the dialog was left with is all that is kept.
                         const QPaintEngine* engine = target->paintEngine();
                         if (engine == nullptr || engine->type() != QPaintEngine::Picture) {
                             printAsked = true;
                             return;
                         }
                         QPainter painter(target);
                         for (std::size_t i = 0; i < pages.size(); ++i) {
                             if (i > 0) {
                                 target->newPage();
                             }
                             painter.save();
                             PaintPage(painter, pages[i]);
                             painter.restore();
                         }
                     });
    if (dialog.exec() != QDialog::Accepted || !printAsked) {
        return std::nullopt;
    }
    PrintChoice choice;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        choice.outputFile = printer.outputFileName();
        if (choice.outputFile.isEmpty()) {
            return std::nullopt;
        }
    } else {
        choice.printerName = printer.printerName();
    }
    choice.layout = printer.pageLayout();
    choice.copies = std::max(1, printer.copyCount());
    if (printer.printRange() == QPrinter::PageRange) {
        choice.firstPage = printer.fromPage();
        choice.lastPage = printer.toPage();
    }
    return choice;
}

PrintedJob QtPlatform::PrintChosen(const Page& page, const QString& jobName,
                                   const PrintChoice& choice) {
    const QString name = choice.printerName.isEmpty() ? DefaultPrinterName() : choice.printerName;
    // Asked afresh for every page: a queue stopped or removed meanwhile is
    // known at once.
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) {
        throw Failure(QStringLiteral("No existe la impresora «%1»").arg(name).toStdString());
    }
    // A stopped queue takes the job and holds it: nothing would come out.
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted) {
        throw Failure(QStringLiteral("La impresora «%1» está detenida").arg(name).toStdString());
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(jobName);
    if (choice.layout.isValid()) {
        printer.setPageLayout(choice.layout);
    }
    printer.setCopyCount(std::max(1, choice.copies));
    PaintAndSend(printer, page);
    return {name, NewestJobId(name, jobName)};
}

}  // namespace platform
