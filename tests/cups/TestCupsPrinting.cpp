// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "CupsSpool.h"
#include "VoucherFixture.h"
#include "ZbarDecode.h"
#include "app/VoucherWindow.h"
#include "platform/QtPlatform.h"

using platform::Answer;
using platform::Buttons;
using platform::Icon;
using platform::Message;

namespace {

using spool::JobNumber;
using spool::kJobTimeoutMs;
using spool::kToolTimeoutMs;
using spool::Run;

// The real desktop with only the person scripted: every question is answered
// Yes and every message recorded. Printing goes through Qt to CUPS for real,
// and the program's folders are fresh temporary ones.
class CupsPlatform : public platform::QtPlatform {
  public:
    std::vector<Message> messages;
    QTemporaryDir programDir;
    QTemporaryDir temporaryDir;

    Answer ShowMessage(QWidget*, const Message& message) override {
        messages.push_back(message);
        return message.buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    QString ProgramFolder() override { return programDir.path(); }
    QString TemporaryFolder() override { return temporaryDir.path(); }
};

QString Env(const char* name) {
    return qEnvironmentVariable(name);
}

// The PDFs that arrived, oldest job first.
QStringList ArrivedPdfs() {
    QStringList names = QDir(Env("TALONARIO_CUPS_OUT")).entryList({"*.pdf"}, QDir::Files);
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return JobNumber(a) < JobNumber(b); });
    for (QString& name : names) {
        name = Env("TALONARIO_CUPS_OUT") + QLatin1Char('/') + name;
    }
    return names;
}

// True once the queue has no job waiting or in progress.
bool QueueIdle() {
    const auto pending =
        Run(QStringLiteral("lpstat"), {QStringLiteral("-o"), Env("TALONARIO_CUPS_QUEUE")});
    return pending && pending->trimmed().isEmpty();
}

// Waits until the queue is idle and every PDF it wrote is complete; returns
// them all, oldest job first. A PDF still being written fails pdfinfo.
QStringList SettledPdfs() {
    QElapsedTimer timer;
    timer.start();
    while (true) {
        const QStringList pdfs = ArrivedPdfs();
        const bool complete = std::all_of(pdfs.begin(), pdfs.end(), [](const QString& pdf) {
            QProcess process;
            process.start(QStringLiteral("pdfinfo"), {pdf});
            return process.waitForFinished(kToolTimeoutMs) && process.exitCode() == 0;
        });
        if ((QueueIdle() && complete) || timer.elapsed() > kJobTimeoutMs) {
            return pdfs;
        }
        QTest::qWait(200);
    }
}

int PageCount(const QString& pdf) {
    static const QRegularExpression pattern(QStringLiteral("^Pages:\\s+(\\d+)\\s*$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match =
        pattern.match(QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}).value_or("")));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The PDF's title as pdfinfo gives it.
QString PdfTitle(const QString& pdf) {
    static const QRegularExpression pattern(QStringLiteral("^Title:\\s+(.*?)\\s*$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match =
        pattern.match(QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}).value_or("")));
    return match.hasMatch() ? match.captured(1) : QString();
}

QString TextOf(const QString& pdf) {
    return QString::fromUtf8(
        Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).value_or(""));
}

// The page as a sheet scanned at 300 dpi.
QImage Scan(const QString& pdf, const QTemporaryDir& scratch) {
    const QString prefix = scratch.filePath(QFileInfo(pdf).completeBaseName());
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

bool CupsAdmin(const QString& tool, const QStringList& arguments) {
    return Run(tool, arguments).has_value();
}

// Entry presentation: the boxes and buttons shown, the copy number hidden.
void ExpectEntryPresentation(const app::VoucherWindow& window) {
    for (const char* shown : {"Command2", "cmdGuardarPdf", "txtCuit", "txtNombre"}) {
        QVERIFY2(window.control(QString::fromUtf8(shown))->isVisible(), shown);
    }
    QVERIFY(!window.control(QStringLiteral("lblNroFactura"))->isVisible());
}

// Every message shown, for a failure's report.
QString Told(const std::vector<Message>& messages) {
    QStringList lines;
    for (const Message& message : messages) {
        lines << message.title + QStringLiteral(": ") + message.text;
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

// The print button's run through a real CUPS server (started by with-cups.sh)
// whose default queue turns each job into a PDF, read back as the bank would
// read the paper: pages, text and barcode. The functions run in this order
// and depend on it: the copies are those of the full run, and the later runs
// reject, then remove, the queue.
class TestCupsPrinting : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fullRunPrintsTwoJobs();
    void printedCopy_data();
    void printedCopy();
    void rejectingQueueIsToldAndRunEnds();
    void removedQueueIsNoPrinter();

  private:
    std::unique_ptr<CupsPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
    QString queue;
    // What the full run left: its payment code and its PDFs, oldest job first.
    QString code;
    QStringList copies;
};

void TestCupsPrinting::initTestCase() {
    queue = Env("TALONARIO_CUPS_QUEUE");
    QVERIFY2(!queue.isEmpty() && !Env("TALONARIO_CUPS_OUT").isEmpty(),
             "run through tests/cups/with-cups.sh");
    QCOMPARE(Env("CUPS_SERVER"), Env("TALONARIO_CUPS_SOCKET"));
    // Qt must see the private server's default, not some other printer.
    QCOMPARE(QPrinterInfo::defaultPrinterName(), queue);
    QVERIFY(ArrivedPdfs().isEmpty());
}

void TestCupsPrinting::init() {
    platform = std::make_unique<CupsPlatform>();
    QVERIFY(platform->programDir.isValid() && platform->temporaryDir.isValid());
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
}

void TestCupsPrinting::cleanup() {
    window.reset();
    platform.reset();
}

void TestCupsPrinting::fullRunPrintsTwoJobs() {
    FillValidVoucher(*window);
    window->PrintRun();

    QVERIFY2(platform->messages.size() == 1, qPrintable(Told(platform->messages)));
    QCOMPARE(platform->messages[0].title, QStringLiteral("Imprimir!"));
    QCOMPARE(platform->messages[0].buttons, Buttons::YesNo);
    ExpectEntryPresentation(*window);
    QCOMPARE(FilesIn(platform->ProgramFolder()), QStringList());
    QCOMPARE(FilesIn(platform->TemporaryFolder()), QStringList());
    code = window->text(QStringLiteral("Text1"));
    QVERIFY(!code.trimmed().isEmpty());

    copies = SettledPdfs();
    QVERIFY2(copies.size() == 2, qPrintable(copies.join(QLatin1Char('\n'))));
    // Each job named for whose voucher and which copy it is: cups-pdf gives
    // the job's name as the PDF's title, and names the file after it with
    // every character but letters, digits and hyphens made "_".
    const QStringList names{
        QStringLiteral("Talonario 20-12345678-9 05/2026 copia 1 (banco)"),
        QStringLiteral("Talonario 20-12345678-9 05/2026 copia 2 (depositante)")};
    for (qsizetype i = 0; i < copies.size(); ++i) {
        const QString title = PdfTitle(copies[i]);
        QVERIFY2(title == names[i] || title == u'(' + names[i] + u')', qPrintable(title));
        QVERIFY2(QFileInfo(copies[i]).fileName().startsWith(
                     QStringLiteral("Talonario_20-12345678-9_05_2026_copia_%1_").arg(i + 1)),
                 qPrintable(copies[i]));
    }
}

void TestCupsPrinting::printedCopy_data() {
    QTest::addColumn<int>("job");  // in the order printed
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("otherTitle");
    QTest::newRow("copy 1, for the bank") << 0 << "Para el Banco - Comprobante de Caja"
                                          << "Talón para el Depositante";
    QTest::newRow("copy 2, for the depositor")
        << 1 << "Talón para el Depositante - Comprobante de Caja"
        << "Para el Banco";
}

void TestCupsPrinting::printedCopy() {
    QFETCH(int, job);
    QFETCH(QString, title);
    QFETCH(QString, otherTitle);
    QVERIFY2(job < copies.size(), "the full run printed no such job");
    const QString pdf = copies[job];
    QCOMPARE(PageCount(pdf), 1);

    const QString text = TextOf(pdf);
    QVERIFY2(text.contains(title), qPrintable(text));
    QVERIFY2(!text.contains(otherTitle), qPrintable(text));
    // What was typed and what was worked out from it, as printed on paper.
    for (const QString& shown : {QStringLiteral("Taller Norte"), QStringLiteral("20123456789"),
                                 QStringLiteral("124123"), code.trimmed()}) {
        QVERIFY2(text.contains(shown), qPrintable(shown + QStringLiteral(" not in:\n") + text));
    }

    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QImage sheet = Scan(pdf, scratch);
    QVERIFY(!sheet.isNull());
    const auto decoded = DecodeBarcodes(sheet);
    QCOMPARE(decoded.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(decoded[0]), code);
}

void TestCupsPrinting::rejectingQueueIsToldAndRunEnds() {
    const qsizetype before = SettledPdfs().size();
    QVERIFY(CupsAdmin(QStringLiteral("cupsreject"), {queue}));
    FillValidVoucher(*window);
    window->PrintRun();
    const bool accepted = CupsAdmin(QStringLiteral("cupsaccept"), {queue});

    ExpectEntryPresentation(*window);
    QVERIFY(!window->text(QStringLiteral("Text1")).trimmed().isEmpty());
    QCOMPARE(SettledPdfs().size(), before);
    // Asked, then told that neither copy was printed.
    const std::vector<Message>& told = platform->messages;
    QVERIFY2(told.size() == 2, qPrintable(Told(told)));
    QCOMPARE(told[0].buttons, Buttons::YesNo);
    QCOMPARE(told[1].title, QStringLiteral("Imprimir!"));
    QCOMPARE(told[1].icon, Icon::Critical);
    QVERIFY2(told[1].text.startsWith(QStringLiteral("No se pudo imprimir:")) &&
                 told[1].text.contains(QStringLiteral("Copia 1")) &&
                 told[1].text.contains(QStringLiteral("Copia 2")),
             qPrintable(told[1].text));
    // CUPS's reason, in Spanish like the rest.
    QVERIFY2(
        told[1].text.contains(QStringLiteral("la impresora «%1» no acepta trabajos").arg(queue)) &&
            !told[1].text.contains(QStringLiteral("Destination")),
        qPrintable(told[1].text));
    QVERIFY(accepted);
}

void TestCupsPrinting::removedQueueIsNoPrinter() {
    const qsizetype before = ArrivedPdfs().size();
    QVERIFY(CupsAdmin(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue}));
    // Qt asks CUPS afresh each time: a queue removed while the program runs
    // is gone for it at once, so this run sees no printer at all.
    QCOMPARE(QPrinterInfo::defaultPrinterName(), QString());

    FillValidVoucher(*window);
    window->PrintRun();

    QVERIFY2(platform->messages.size() == 1, qPrintable(Told(platform->messages)));
    const Message& told = platform->messages[0];
    QCOMPARE(told.title, QStringLiteral("Verificación de impresora"));
    QCOMPARE(told.text,
             QStringLiteral(
                 "No Hay una impresora instalada. Instale una impresora y vuelva a intentarlo"));
    QCOMPARE(told.icon, Icon::Information);
    QCOMPARE(told.buttons, Buttons::Ok);
    QCOMPARE(window->text(QStringLiteral("Text1")), QString());
    QVERIFY(BarcodeOnVoucher(*window).isNull());
    ExpectEntryPresentation(*window);
    QCOMPARE(ArrivedPdfs().size(), before);
}

QTEST_MAIN(TestCupsPrinting)
#include "TestCupsPrinting.moc"
