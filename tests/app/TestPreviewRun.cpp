// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "PdfReadBack.h"
#include "VoucherFixture.h"

using platform::Message;

namespace {

using Setup = std::function<void(app::VoucherWindow&, ScriptedPlatform&)>;

// Title, text and icon of every message, one line each, to compare runs.
QStringList Told(const ScriptedPlatform& platform) {
    QStringList lines;
    for (const Message& message : platform.messages) {
        lines << QStringLiteral("%1|%2|%3").arg(message.title, message.text).arg(int(message.icon));
    }
    return lines;
}

// Entry presentation: boxes and buttons shown, frames on, no copy number.
void ExpectEntryPresentation(const app::VoucherWindow& window) {
    for (const char* shown : {"Command2", "cmdGuardarPdf", "txtCuit", "txtNombre", "txtPesos"}) {
        QVERIFY2(window.control(QString::fromUtf8(shown))->isVisible(), shown);
    }
    QVERIFY(!window.control(QStringLiteral("lblNroFactura"))->isVisible());
    QVERIFY(!window.control(QStringLiteral("lblCUIT"))->font().bold());
    QVERIFY(window.control<QFrame>(QStringLiteral("txtTotal"))->frameShape() != QFrame::NoFrame);
    QVERIFY(window.control<QFrame>(QStringLiteral("Text1"))->frameShape() != QFrame::NoFrame);
}

}  // namespace

// Ctrl+P: IMPRIMIR's checks, the two copies in the print preview, and the
// jobs printed from it, with the preview and the printer scripted.
class TestPreviewRun : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void refusalsAsImprimirTellsThem_data();
    void refusalsAsImprimirTellsThem();
    void previewShowsThePagesImprimirPrints();
    void cancelLeavesTheWindowAsItWas();
    void chosenCopies_data();
    void chosenCopies();
    void printingToAFileWritesThePdf();
    void failingCopyIsToldAndTheOtherStillPrints();
    void shortcutComputesTheBoxLeftThenPreviews();
    void windowMenuAndTooltipNameTheShortcut();

  private:
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestPreviewRun::init() {
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    FillValidVoucher(*window);
}

void TestPreviewRun::cleanup() {
    window.reset();
    platform.reset();
}

void TestPreviewRun::refusalsAsImprimirTellsThem_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("firstText");
    QTest::newRow("no printer, before anything else") << Setup([](auto& w, auto& p) {
        p.printerInstalled = false;
        w.setText("txtAnio", "1990");
    }) << "No Hay una impresora instalada. Instale una impresora y vuelva a intentarlo";
    QTest::newRow("no total, before the entries") << Setup([](auto& w, auto&) {
        w.setText("txtTotal", "");
        w.setText("txtCuit", "123");
    }) << "No se ha calculado el monto total";
    QTest::newRow("C.U.I.T. before the year") << Setup([](auto& w, auto&) {
        w.setText("txtCuit", "2012345678");
        w.setText("txtAnio", "1990");
    }) << "El C.U.I.T. debe tener 11 Números";
    QTest::newRow("no payroll") << Setup([](auto& w, auto&) { w.setText("txtRemuneracion", "0"); })
                                << "Debe ingresar la Remuneración obtenida";
    QTest::newRow("month 0") << Setup([](auto& w, auto&) { w.setText("txtMes", "0"); })
                             << "El mes ingresado es incorrecto";
    QTest::newRow("year too early") << Setup([](auto& w, auto&) { w.setText("txtAnio", "1990"); })
                                    << "El año ingresado es incorrecto";
}

void TestPreviewRun::refusalsAsImprimirTellsThem() {
    QFETCH(Setup, setup);
    QFETCH(QString, firstText);
    // The same voucher through IMPRIMIR, in a window of its own.
    ScriptedPlatform imprimirPlatform;
    app::VoucherWindow imprimir(imprimirPlatform);
    FillValidVoucher(imprimir);
    setup(imprimir, imprimirPlatform);
    imprimir.PrintRun();
    setup(*window, *platform);
    window->PreviewRun();

    QVERIFY(!imprimirPlatform.messages.empty());
    QCOMPARE(imprimirPlatform.messages[0].text.left(firstText.size()), firstText);
    QCOMPARE(Told(*platform), Told(imprimirPlatform));
    QVERIFY(platform->previewed.empty());
    QVERIFY(platform->printed.empty());
    ExpectEntryPresentation(*window);
}

void TestPreviewRun::previewShowsThePagesImprimirPrints() {
    bool entryWhileShown = false;
    platform->onPreview = [this, &entryWhileShown] {
        entryWhileShown = window->control("txtCuit")->isVisible() &&
                          window->control("Command2")->isVisible() &&
                          !window->control("lblNroFactura")->isVisible();
    };
    platform->printChoice = platform::PrintChoice{QStringLiteral("Segunda"), {}, {}, 3};
    window->PreviewRun();
    QVERIFY(platform->messages.empty());  // no confirmation: the preview is it
    QCOMPARE(platform->previewed.size(), std::size_t(1));
    QVERIFY(entryWhileShown);
    const std::vector<platform::Page> previewed = platform->previewed[0];
    std::vector<platform::Page> printed = platform->printed;
    QCOMPARE(platform->jobNames,
             (QStringList{"Talonario 20-12345678-9 05/2026 copia 1 (banco)",
                          "Talonario 20-12345678-9 05/2026 copia 2 (depositante)"}));
    QCOMPARE(platform->chosenFor.size(), std::size_t(2));
    for (const platform::PrintChoice& choice : platform->chosenFor) {
        QCOMPARE(choice.printerName, QStringLiteral("Segunda"));
        QCOMPARE(choice.copies, 3);
    }
    QCOMPARE(window->printedJobs().size(), std::size_t(2));
    QCOMPARE(window->printedJobs()[1].printer, QStringLiteral("Segunda"));

    // IMPRIMIR on the same voucher prints the very same two pages.
    platform->printed.clear();
    window->PrintRun();
    QCOMPARE(platform->printed.size(), std::size_t(2));
    QCOMPARE(previewed.size(), std::size_t(2));
    for (std::size_t i = 0; i < 2; ++i) {
        const QImage imprimir = Rasterise(platform->printed[i]);
        QVERIFY2(Rasterise(previewed[i]) == imprimir, qPrintable(QString::number(i + 1)));
        QVERIFY2(Rasterise(printed[i]) == imprimir, qPrintable(QString::number(i + 1)));
    }
    ExpectEntryPresentation(*window);
}

void TestPreviewRun::cancelLeavesTheWindowAsItWas() {
    platform->printChoice.reset();
    window->PreviewRun();
    QCOMPARE(platform->previewed.size(), std::size_t(1));
    QVERIFY(platform->printed.empty());
    QVERIFY(platform->messages.empty());
    QVERIFY(window->printedJobs().empty());
    ExpectEntryPresentation(*window);
    QCOMPARE(window->text("txtNombre"), QStringLiteral("Taller Norte"));
    QCOMPARE(window->text("Text1").size(), 23);
    QCOMPARE(FilesIn(platform->ProgramFolder()), QStringList());
    // And the next run starts afresh.
    platform->printChoice = platform::PrintChoice{};
    window->PreviewRun();
    QCOMPARE(platform->printed.size(), std::size_t(2));
}

void TestPreviewRun::chosenCopies_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QStringList>("jobs");
    const QString bank = QStringLiteral("Talonario 20-12345678-9 05/2026 copia 1 (banco)");
    const QString depositor =
        QStringLiteral("Talonario 20-12345678-9 05/2026 copia 2 (depositante)");
    QTest::newRow("every page") << 0 << 0 << QStringList{bank, depositor};
    QTest::newRow("page 1: the bank's copy") << 1 << 1 << QStringList{bank};
    QTest::newRow("page 2: the depositor's copy") << 2 << 2 << QStringList{depositor};
    QTest::newRow("a range past the last page") << 2 << 9 << QStringList{depositor};
    QTest::newRow("no page of the voucher: told, nothing printed") << 3 << 9 << QStringList();
}

void TestPreviewRun::chosenCopies() {
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QStringList, jobs);
    platform::PrintChoice choice;
    choice.firstPage = first;
    choice.lastPage = last;
    platform->printChoice = choice;
    window->PreviewRun();
    QCOMPARE(platform->jobNames, jobs);
    if (jobs.isEmpty()) {
        QCOMPARE(platform->messageTexts(),
                 QStringList{"No se pudo imprimir:\nLas páginas elegidas no existen: el "
                             "comprobante tiene 2"});
    } else {
        QVERIFY(platform->messages.empty());
    }
}

void TestPreviewRun::printingToAFileWritesThePdf() {
    const QString pdf = platform->programDir.filePath("vista.pdf");
    platform::PrintChoice choice;
    choice.outputFile = pdf;
    platform->printChoice = choice;
    window->PreviewRun();
    QVERIFY(platform->printed.empty());
    QVERIFY(platform->messages.empty());
    QCOMPARE(PdfPageCount(pdf), 2);
    QVERIFY(PdfPageText(pdf, 2).contains("Talón para el Depositante"));
}

void TestPreviewRun::failingCopyIsToldAndTheOtherStillPrints() {
    int calls = 0;
    platform->onPrint = [&calls](const platform::Page&) {
        if (++calls == 1) {
            throw platform::Failure("impresora fuera de línea");
        }
    };
    window->PreviewRun();
    QCOMPARE(calls, 2);
    QCOMPARE(platform->printed.size(), std::size_t(1));
    QCOMPARE(platform->messages.size(), std::size_t(1));
    QCOMPARE(platform->messages[0].title, QStringLiteral("Imprimir!"));
    QCOMPARE(platform->messages[0].icon, platform::Icon::Critical);
    QCOMPARE(platform->messages[0].text,
             QStringLiteral("No se pudo imprimir:\nCopia 1: impresora fuera de línea"));
    ExpectEntryPresentation(*window);
}

void TestPreviewRun::shortcutComputesTheBoxLeftThenPreviews() {
    // The payroll typed and its box not yet left: no total until Ctrl+P
    // moves the focus, as a click on IMPRIMIR would.
    window->setText("txtRetencion", "");
    window->setText("txtTotal", "");
    auto* payroll = window->control<QLineEdit>("txtRemuneracion");
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    payroll->setFocus();
    QTRY_VERIFY(payroll->hasFocus());
    platform->printChoice.reset();
    QTest::keyClick(payroll, Qt::Key_P, Qt::ControlModifier);
    QVERIFY2(platform->messages.empty(), qPrintable(Told(*platform).join('\n')));
    QCOMPARE(platform->previewed.size(), std::size_t(1));
    QVERIFY(!window->text("txtTotal").isEmpty());
    QCOMPARE(window->text("txtRemuneracion"), QStringLiteral("124123"));
}

void TestPreviewRun::windowMenuAndTooltipNameTheShortcut() {
    QVERIFY(window->control("Command2")->toolTip().contains("Ctrl+P"));
    std::unique_ptr<QMenu> menu(window->CreateWindowMenu());
    QCOMPARE(menu->actions().size(), 1);
    QAction* preview = menu->actions().constFirst();
    QCOMPARE(preview->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    platform->printChoice.reset();
    preview->trigger();
    QCOMPARE(platform->previewed.size(), std::size_t(1));
}

QTEST_MAIN(TestPreviewRun)
#include "TestPreviewRun.moc"
