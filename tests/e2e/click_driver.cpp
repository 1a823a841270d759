// SPDX-License-Identifier: GPL-3.0-or-later
// The voucher window on a real X display with the printer and the save
// dialog scripted, so that clicks sent through the X server start real runs
// without anyone answering a dialog. When the window is asked to close it
// writes one line per run to the file named by TALONARIO_RUN_REPORT:
//   print|pdf <TAB> payment code <TAB> total <TAB> the code the saved file shows
// and a last line "pressed" if a button is left drawn pressed.
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTextStream>

#include "PdfReadBack.h"
#include "ScriptedPlatform.h"
#include "ZbarDecode.h"
#include "app/VoucherWindow.h"

namespace {

struct Run {
    QString kind;
    QString code;
    QString total;
    QString pdf;
};

class RecordingPlatform : public ScriptedPlatform {
  public:
    app::VoucherWindow* window = nullptr;
    QString folder;
    std::vector<Run> runs;

    // Both copies of a print run show the same figures; the first records the run.
    void PrintPage(const platform::Page& page, const QString& jobName) override {
        ScriptedPlatform::PrintPage(page, jobName);
        if (printed.size() % 2 == 1) {
            runs.push_back({QStringLiteral("print"), Code(), Total(), {}});
        }
    }
    QString AskSaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return QStringLiteral("%1/run-%2.pdf").arg(folder).arg(runs.size() + 1);
    }
    void WritePdf(const std::vector<platform::Page>& pages, const QString& path) override {
        QtPlatform::WritePdf(pages, path);
        runs.push_back({QStringLiteral("pdf"), Code(), Total(), path});
    }

  private:
    QString Code() const { return window->text(QStringLiteral("Text1")); }
    QString Total() const {
        return window->text(QStringLiteral("txtTotal")) + QLatin1Char(',') +
               window->text(QStringLiteral("TXTtotalDec"));
    }
};

// What the saved file shows: its first page's text must hold the code, and
// the barcode zbar reads there is the code (rendering the page takes a
// second or two, so the barcode is read only where asked).
QString SavedCode(const QString& pdf, const QString& code, bool readBarcode) {
    if (!PdfPageText(pdf, 1).contains(code)) {
        return QStringLiteral("text without the code");
    }
    if (!readBarcode) {
        return code;
    }
    const auto decoded = DecodeBarcodes(PdfPageImage(pdf, 1, 300));
    return decoded.size() == 1 ? QString::fromStdString(decoded[0]) : QStringLiteral("no barcode");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RecordingPlatform platform;
    platform.folder = platform.temporaryDir.path();
    app::VoucherWindow window(platform);
    platform.window = &window;
    const QString report = qEnvironmentVariable("TALONARIO_RUN_REPORT");
    QObject::connect(
        &window, &app::VoucherWindow::closed, &app,
        [&] {
            QFile file(report);
            if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
                QTextStream out(&file);
                // The barcode of every tenth saved file.
                int saved = 0;
                for (const Run& run : platform.runs) {
                    out << run.kind << '\t' << run.code << '\t' << run.total << '\t';
                    if (!run.pdf.isEmpty()) {
                        out << SavedCode(run.pdf, run.code, saved++ % 10 == 0);
                    }
                    out << '\n';
                }
                for (auto* button : window.findChildren<QPushButton*>()) {
                    if (button->isDown()) {
                        out << "pressed\t" << button->objectName() << '\n';
                    }
                }
            }
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}
