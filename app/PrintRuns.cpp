// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/VoucherWindow.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QScopedValueRollback>
#include <array>

#include "app/CopyPrinting.h"
#include "app/PrintJobName.h"
#include "app/VoucherRecord.h"
#include "entry/Amounts.h"
#include "entry/LeadingNumber.h"

namespace app {

// The print and save runs: IMPRIMIR's two copies on the printer, GUARDAR PDF's
// and the command line's two pages in one PDF, and the recording of the copies.

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;

namespace {

const Message kNoPrinter{
    QStringLiteral("Verificación de impresora"),
    QStringLiteral("No Hay una impresora instalada. Instale una impresora y vuelva a intentarlo"),
    Icon::Information, Buttons::Ok};
const Message kConfirm{QStringLiteral("Imprimir!"),
                       QStringLiteral("Confirma que los datos son correctos y desea imprimir?."),
                       Icon::None, Buttons::YesNo};
const Message kConfirmSave{QStringLiteral("Guardar PDF"),
                           QStringLiteral("¿Confirma que los datos son correctos y desea guardar "
                                          "el comprobante en PDF?"),
                           Icon::None, Buttons::YesNo};
const Message kNotRecorded{
    QStringLiteral("Historial"),
    QStringLiteral("El comprobante se emitió, pero no quedó registrado en el historial:\n%1\n\n"
                   "Conserve el comprobante emitido. Revise que la base de datos del historial "
                   "esté disponible, se pueda escribir y tenga lugar; los próximos comprobantes "
                   "se registrarán cuando lo esté."),
    Icon::Information, Buttons::Ok};
const std::array kCopyTitles{QStringLiteral("Para el Banco - Comprobante de Caja"),
                             QStringLiteral("Talón para el Depositante - Comprobante de Caja")};

}  // namespace

bool VoucherWindow::PrinterInstalled() {
    try {
        platform_.DefaultPrinterName();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

platform::Page VoucherWindow::RecordPage() {
    platform::Page page{QPicture(), size(), background_};
    QPainter painter(&page.picture);
    painter.setRenderHint(QPainter::LosslessImageRendering);
    // The window's white and its picture are the page's background, painted
    // apart; the recording holds the rest.
    const QScopedValueRollback recording(recordingPage_, true);
    // Where the focus was must not reach the paper: with the boxes hidden it
    // lands on the check box, which a window used from the keyboard draws
    // highlighted, and a reprint would no longer match its original.
    const bool keyboardFocus = testAttribute(Qt::WA_KeyboardFocusChange);
    setAttribute(Qt::WA_KeyboardFocusChange, false);
    setAutoFillBackground(false);
    render(&painter, QPoint(), QRegion(), DrawChildren);
    setAutoFillBackground(true);
    setAttribute(Qt::WA_KeyboardFocusChange, keyboardFocus);
    painter.end();
    return page;
}

QStringList VoucherWindow::PrintCopies(const PageOutput& output) {
    QStringList failures;
    // Each step is tried on its own: one that fails is skipped and the run
    // goes on, so the window always returns to entry presentation.
    const auto step = [&failures](const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& error) {
            failures << QString::fromUtf8(error.what());
        }
    };
    auto* number = control<QLabel>(QStringLiteral("lblNroFactura"));
    auto* title = control<QLabel>(QStringLiteral("lblTitulo"));
    const QList<QWidget*> buttons{control(QStringLiteral("Command2")),
                                  control(QStringLiteral("cmdGuardarPdf"))};
    step([&] { SetPrintMode(true); });
    step([&] {
        for (QWidget* button : buttons) {
            button->hide();
        }
    });
    step([&] { SetFieldBorders(0); });
    step([&] { number->setText(QStringLiteral("1")); });
    step([&] { number->show(); });
    step([&] { title->show(); });
    step([&] { title->setText(kCopyTitles[0]); });
    step([&] { output(RecordPage(), 1); });
    step([&] { number->setText(QStringLiteral("2")); });
    step([&] { title->setText(kCopyTitles[1]); });
    step([&] { output(RecordPage(), 2); });
    step([&] { title->hide(); });
    step([&] { number->hide(); });
    step([&] { SetFieldBorders(1); });
    step([&] {
        for (QWidget* button : buttons) {
            button->show();
        }
    });
    step([&] { SetPrintMode(false); });
    return failures;
}

// IMPRIMIR's first checks, shared by the preview: a printer, then the code.
bool VoucherWindow::PrinterReadyAndBarcodeOrTell() {
    if (!PrinterInstalled()) {
        Tell(kNoPrinter);
        return false;
    }
    return ProduceBarcodeOrTell();
}

void VoucherWindow::PrintRun() {
    // One run at a time: the zero fill lets queued clicks through mid-run.
    if (runInProgress_) {
        return;
    }
    QScopedValueRollback guard(runInProgress_, true);
    if (!PrinterReadyAndBarcodeOrTell()) {
        return;
    }
    if (platform_.ShowMessage(this, kConfirm) != Answer::Yes) {
        return;
    }
    const QStringList failures = PrintCopies([this](const platform::Page& page, int copy) {
        try {
            platform_.PrintPage(
                page, PrintJobName(text(QStringLiteral("txtCuit")), text(QStringLiteral("txtMes")),
                                   text(QStringLiteral("txtAnio")), copy));
        } catch (const std::exception& error) {
            throw platform::Failure(QStringLiteral("Copia %1: %2")
                                        .arg(copy)
                                        .arg(QString::fromUtf8(error.what()))
                                        .toStdString());
        }
    });
    // The copies that failed were skipped; say so rather than let the user
    // take the voucher to the bank believing both were printed.
    if (!failures.isEmpty()) {
        Tell({QStringLiteral("Imprimir!"),
              QStringLiteral("No se pudo imprimir:\n") + failures.join(QLatin1Char('\n')),
              Icon::Critical, Buttons::Ok});
        return;
    }
    QString printer;
    try {
        printer = platform_.DefaultPrinterName();
    } catch (const std::exception&) {
        // Both copies were accepted: the record goes without the name.
    }
    RecordLeft(printer);
}

void VoucherWindow::RecordLeft(const QString& destination) {
    if (!store_) {
        return;
    }
    history::Voucher voucher = VoucherOf(*this);
    voucher.issued = QDateTime::currentDateTime();
    voucher.how = recordedAs_;
    voucher.destination = destination;
    // The voucher has left whatever the store does: a failure is told, never
    // turned into a failed run.
    QString reason;
    try {
        store_->Record(voucher);
        return;
    } catch (const std::exception& error) {
        reason = QString::fromUtf8(error.what());
    }
    Tell({kNotRecorded.title, kNotRecorded.text.arg(reason), kNotRecorded.icon,
          kNotRecorded.buttons});
}

QStringList VoucherWindow::SendCopies(const std::vector<platform::Page>& pages,
                                      const platform::PrintChoice& choice, bool stopAtFailure) {
    printedJobs_.clear();
    return PrintVoucherCopies(platform_, pages, text(QStringLiteral("txtCuit")),
                              text(QStringLiteral("txtMes")), text(QStringLiteral("txtAnio")),
                              choice, printedJobs_, stopAtFailure);
}

void VoucherWindow::PreviewRun() {
    if (runInProgress_) {
        return;
    }
    QScopedValueRollback guard(runInProgress_, true);
    // IMPRIMIR's checks and messages, in its order; the preview stands in
    // for its confirmation.
    if (!PrinterReadyAndBarcodeOrTell()) {
        return;
    }
    const auto tellFailures = [this](const QStringList& failures) {
        Tell({QStringLiteral("Imprimir!"),
              QStringLiteral("No se pudo imprimir:\n") + failures.join(QLatin1Char('\n')),
              Icon::Critical, Buttons::Ok});
    };
    // Recorded as IMPRIMIR prints them; the window is back in entry
    // presentation before the preview shows.
    QStringList failures;
    const std::vector<platform::Page> pages = RecordCopies(failures);
    if (!failures.isEmpty()) {
        tellFailures(failures);
        return;
    }
    std::optional<platform::PrintChoice> choice;
    try {
        choice = platform_.ChoosePrint(this, pages);
    } catch (const std::exception& error) {
        tellFailures({QString::fromUtf8(error.what())});
        return;
    }
    if (!choice) {
        return;
    }
    // A range past the voucher's pages would print nothing, silently.
    if (ChosenCopies(*choice, pages.size()).empty()) {
        tellFailures({QStringLiteral("Las páginas elegidas no existen: el comprobante tiene %1")
                          .arg(pages.size())});
        return;
    }
    if (!choice->outputFile.isEmpty()) {
        // Printed to a file: the chosen copies in one PDF, through the same
        // writer as GUARDAR PDF.
        std::vector<platform::Page> chosen;
        for (const int copy : ChosenCopies(*choice, pages.size())) {
            chosen.push_back(pages[std::size_t(copy - 1)]);
        }
        try {
            platform_.WritePdf(chosen, choice->outputFile);
        } catch (const std::exception& error) {
            tellFailures({QString::fromUtf8(error.what())});
        }
        return;
    }
    if (const QStringList notPrinted = SendCopies(pages, *choice, false); !notPrinted.isEmpty()) {
        tellFailures(notPrinted);
    }
}

bool VoucherWindow::PrintVoucher(const platform::PrintChoice& choice) {
    printedJobs_.clear();
    if (!GenerateBarcode()) {
        return false;
    }
    QStringList failures;
    const std::vector<platform::Page> pages = RecordCopies(failures);
    if (failures.isEmpty()) {
        // Without anyone to see the printer, copy 2 never comes out alone.
        failures = SendCopies(pages, choice, true);
    }
    if (!failures.isEmpty()) {
        throw platform::Failure(failures.join(QStringLiteral("; ")).toStdString());
    }
    return true;
}

QString VoucherWindow::ProposedPdfName() const {
    // Named after whose voucher it is and which month it settles, so a folder
    // of vouchers sorts by employer and period.
    // Digits only: pasted text must not put a separator into the name.
    return QStringLiteral("comprobante-%1-%2-%3.pdf")
        .arg(entry::LeadingDigits(text(QStringLiteral("txtCuit"))),
             entry::LeadingDigits(text(QStringLiteral("txtAnio"))),
             entry::PadZeros(entry::LeadingDigits(text(QStringLiteral("txtMes"))), 2));
}

std::vector<platform::Page> VoucherWindow::RecordCopies(QStringList& failures) {
    std::vector<platform::Page> pages;
    failures = PrintCopies([&pages](const platform::Page& page, int) { pages.push_back(page); });
    return pages;
}

void VoucherWindow::SavePdfRun() {
    if (runInProgress_) {
        return;
    }
    QScopedValueRollback guard(runInProgress_, true);
    if (!ProduceBarcodeOrTell()) {
        return;
    }
    QString path =
        platform_.AskSaveFileName(this, QStringLiteral("Guardar comprobante en PDF"),
                                  ProposedPdfName(), QStringLiteral("Documentos PDF (*.pdf)"));
    if (path.isEmpty()) {
        return;
    }
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    if (platform_.ShowMessage(this, kConfirmSave) != Answer::Yes) {
        return;
    }
    QStringList failures;
    const std::vector<platform::Page> pages = RecordCopies(failures);
    try {
        if (!failures.isEmpty()) {
            throw platform::Failure(failures.join(QLatin1Char('\n')).toStdString());
        }
        platform_.WritePdf(pages, path);
    } catch (const std::exception& error) {
        Tell({QStringLiteral("Guardar PDF"),
              QStringLiteral("No se pudo guardar el comprobante.\n%1")
                  .arg(QString::fromUtf8(error.what())),
              Icon::Critical, Buttons::Ok});
        return;
    }
    RecordLeft(QFileInfo(path).absoluteFilePath());
}

bool VoucherWindow::WriteVoucherPdf(const QString& path) {
    if (!GenerateBarcode()) {
        return false;
    }
    QStringList failures;
    const std::vector<platform::Page> pages = RecordCopies(failures);
    if (!failures.isEmpty()) {
        throw platform::Failure(failures.join(QLatin1Char('\n')).toStdString());
    }
    platform_.WritePdf(pages, path);
    return true;
}

}  // namespace app
