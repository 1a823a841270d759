// SPDX-License-Identifier: GPL-3.0-or-later
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "VoucherFixture.h"
#include "ZbarDecode.h"
#include "app/Layout.h"
#include "app/PrintJobName.h"

using platform::Answer;

namespace {

// What the window showed at the moment a page was printed.
struct Snapshot {
    QString copyNumber;
    QString title;
    bool copyLabelsVisible = false;
    QStringList visibleBoxes;
    QStringList framed;
    QStringList bold;
    QStringList printLabels;  // "label=text" of every visible print label
    bool buttonsVisible = true;
};

const QStringList kOutputs{"txtRetencion", "txtRetencionDec", "txtTotal", "TXTtotalDec", "Text1"};

Snapshot Take(const app::VoucherWindow& window) {
    Snapshot s;
    s.copyNumber = window.text("lblNroFactura");
    s.title = window.text("lblTitulo");
    s.copyLabelsVisible =
        window.control("lblNroFactura")->isVisible() && window.control("lblTitulo")->isVisible();
    for (const app::PrintPair& pair : app::PrintPairs()) {
        if (window.control(pair.box)->isVisible()) {
            s.visibleBoxes << pair.box;
        }
        QWidget* label = window.control(pair.label);
        if (label->isVisible()) {
            s.printLabels << QString::fromUtf8(pair.label) + "=" + window.text(pair.label);
        }
        if (label->font().bold()) {
            s.bold << pair.label;
        }
    }
    for (const QString& name : kOutputs) {
        if (window.control<QFrame>(name)->frameShape() != QFrame::NoFrame) {
            s.framed << name;
        }
        if (window.control(name)->font().bold()) {
            s.bold << name;
        }
    }
    s.buttonsVisible =
        window.control("Command2")->isVisible() || window.control("cmdGuardarPdf")->isVisible();
    return s;
}

}  // namespace

// The print button's run, with the printer and the person scripted.
class TestPrintRun : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void fullRunPrintsTwoCopies();
    void pagesDifferOnlyInCopyNumberAndTitle();
    void answeringNoPrintsNothing();
    void noPrinterToldAndNoBarcode();
    void refusedValidationEndsBeforeConfirmation();
    void failingCopyIsToldAndTheOtherStillPrints();
    void barcodeFailureEndsTheRunAndTells();
    void secondClickDuringARunIsIgnored();
    void jobName_data();
    void jobName();
    void focusLeavesNoTraceOnThePage_data();
    void focusLeavesNoTraceOnThePage();

  private:
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
    std::vector<Snapshot> atPrint;
};

void TestPrintRun::init() {
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    atPrint.clear();
    platform->onPrint = [this](const platform::Page&) { atPrint.push_back(Take(*window)); };
    FillValidVoucher(*window);
    Fill(*window, {{"Text4", "26"}, {"txtOtrosDesc", "Aporte\nextra"}, {"txtPesos", "Mil"}});
}

void TestPrintRun::cleanup() {
    window.reset();
    platform.reset();
}

void TestPrintRun::fullRunPrintsTwoCopies() {
    const Snapshot before = Take(*window);
    window->PrintRun();
    QCOMPARE(platform->messages.size(), std::size_t(1));
    QCOMPARE(platform->messages[0].title, QStringLiteral("Imprimir!"));
    QCOMPARE(platform->messages[0].text,
             QStringLiteral("Confirma que los datos son correctos y desea imprimir?."));
    QCOMPARE(platform->messages[0].buttons, platform::Buttons::YesNo);
    QCOMPARE(platform->messages[0].icon, platform::Icon::None);
    QCOMPARE(platform->printed.size(), std::size_t(2));
    // Each job named for whose voucher and which copy it is.
    QCOMPARE(platform->jobNames,
             (QStringList{"Talonario 20-12345678-9 05/2026 copia 1 (banco)",
                          "Talonario 20-12345678-9 05/2026 copia 2 (depositante)"}));

    const QStringList expectedBold{"lblNombre",
                                   "lblCUIT",
                                   "lblCalle",
                                   "lblCP",
                                   "lblLoc",
                                   "lblPcia",
                                   "lblMes",
                                   "lblAnio",
                                   "lblCPersonal",
                                   "lblRemuneracion",
                                   "lblRemuneracionDec",
                                   "lblRecargo",
                                   "lblRecargoDec",
                                   "lblOtrosConceptos",
                                   "lblOtrosConceptosDec",
                                   "lblCheque",
                                   "lblBanco",
                                   "lblPesos",
                                   "lbl3",
                                   "lbl2",
                                   "txtRetencion",
                                   "txtRetencionDec",
                                   "txtTotal",
                                   "TXTtotalDec"};
    const QStringList titles{"Para el Banco - Comprobante de Caja",
                             "Talón para el Depositante - Comprobante de Caja"};
    for (int copy = 0; copy < 2; ++copy) {
        const Snapshot& s = atPrint[copy];
        QCOMPARE(s.copyNumber, QString::number(copy + 1));
        QCOMPARE(s.title, titles[copy]);
        QVERIFY(s.copyLabelsVisible);
        QCOMPARE(s.visibleBoxes, QStringList());
        QVERIFY(!s.buttonsVisible);
        QCOMPARE(s.framed, QStringList());
        QCOMPARE(s.bold, expectedBold);
        QCOMPARE(s.printLabels.size(), 22);
        QVERIFY(s.printLabels.contains("lblNombre=Taller Norte"));
        QVERIFY(s.printLabels.contains("lblOtrosDesc=Aporte\nextra"));
        QVERIFY(s.printLabels.contains("lblCheque="));
        const auto decoded = DecodeBarcodes(Rasterise(platform->printed[copy]));
        QCOMPARE(decoded.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(decoded[0]), window->text("Text1"));
    }

    const Snapshot after = Take(*window);
    QCOMPARE(after.visibleBoxes, before.visibleBoxes);
    QCOMPARE(after.framed, kOutputs);
    QCOMPARE(after.bold, QStringList());
    QCOMPARE(after.printLabels, QStringList());
    QVERIFY(after.buttonsVisible);
    QVERIFY(!window->control("lblNroFactura")->isVisible());
    QVERIFY(!window->control("lblTitulo")->isVisible());
    QCOMPARE(window->text("txtNombre"), QStringLiteral("Taller Norte"));
    QCOMPARE(window->text("txtOtrosDesc"), QStringLiteral("Aporte\nextra"));
    QCOMPARE(window->text("Text1").size(), 23);
    QVERIFY(!BarcodeOnVoucher(*window).isNull());
}

void TestPrintRun::pagesDifferOnlyInCopyNumberAndTitle() {
    window->PrintRun();
    QCOMPARE(platform->printed.size(), std::size_t(2));
    const QImage first = Rasterise(platform->printed[0]);
    const QImage second = Rasterise(platform->printed[1]);
    const QRect heading = window->control("lblNroFactura")
                              ->geometry()
                              .united(window->control("lblTitulo")->geometry());
    int differing = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            if (first.pixel(x, y) != second.pixel(x, y)) {
                QVERIFY2(heading.contains(x, y), qPrintable(QString("%1,%2").arg(x).arg(y)));
                ++differing;
            }
        }
    }
    QVERIFY(differing > 0);
}

void TestPrintRun::answeringNoPrintsNothing() {
    platform->answers = {Answer::No};
    window->PrintRun();
    QVERIFY(platform->printed.empty());
    QCOMPARE(window->text("Text1").size(), 23);
    QVERIFY(!BarcodeOnVoucher(*window).isNull());
    QVERIFY(window->control("txtNombre")->isVisible());
    QVERIFY(window->control("Command2")->isVisible());
}

void TestPrintRun::noPrinterToldAndNoBarcode() {
    platform->printerInstalled = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        window->PrintRun();
    }
    QCOMPARE(platform->messages.size(), std::size_t(2));
    for (const auto& message : platform->messages) {
        QCOMPARE(message.title, QStringLiteral("Verificación de impresora"));
        QCOMPARE(message.text, QStringLiteral("No Hay una impresora instalada. Instale una "
                                              "impresora y vuelva a intentarlo"));
        QCOMPARE(message.icon, platform::Icon::Information);
    }
    QCOMPARE(window->text("Text1"), QString());
    QVERIFY(BarcodeOnVoucher(*window).isNull());
}

void TestPrintRun::refusedValidationEndsBeforeConfirmation() {
    window->setText("txtAnio", "1990");
    window->PrintRun();
    QCOMPARE(platform->messageTexts(), QStringList{"El año ingresado es incorrecto"});
    QVERIFY(platform->printed.empty());
}

void TestPrintRun::failingCopyIsToldAndTheOtherStillPrints() {
    int calls = 0;
    platform->onPrint = [&calls](const platform::Page&) {
        if (++calls == 1) {
            throw platform::Failure("impresora fuera de línea");
        }
    };
    window->PrintRun();
    QCOMPARE(calls, 2);
    QCOMPARE(platform->printed.size(), std::size_t(1));
    QCOMPARE(platform->messages.size(), std::size_t(2));
    QCOMPARE(platform->messages[1].icon, platform::Icon::Critical);
    QVERIFY(platform->messages[1].text.contains("Copia 1: impresora fuera de línea"));
    QVERIFY(window->control("Command2")->isVisible());
    QVERIFY(window->control("txtCuit")->isVisible());
    QCOMPARE(Take(*window).framed, kOutputs);
}

void TestPrintRun::barcodeFailureEndsTheRunAndTells() {
    platform->programFolderOverride = platform->programDir.filePath("missing");
    platform->temporaryDir.remove();
    window->PrintRun();
    QCOMPARE(platform->messages.size(), std::size_t(1));
    QCOMPARE(platform->messages[0].icon, platform::Icon::Critical);
    QVERIFY(platform->messages[0].text.startsWith("No se pudo generar el código de barras."));
    QVERIFY(platform->messages[0].text.contains("picCode.bmp"));
    QVERIFY(platform->printed.empty());
    QVERIFY(window->control("Command2")->isVisible());
    QVERIFY(window->control("txtCuit")->isVisible());
    QVERIFY(!window->control("Picture1")->isVisible());
}

void TestPrintRun::secondClickDuringARunIsIgnored() {
    // The zero fill of the payment code processes pending events, so a click
    // queued before the run is delivered in its middle.
    auto* button = window->control<QPushButton>("Command2");
    const QPointF centre = QRectF(button->rect()).center();
    const QPointF global = button->mapToGlobal(centre);
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(
            button,
            new QMouseEvent(type, centre, global, Qt::LeftButton,
                            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                            Qt::NoModifier));
    }
    window->PrintRun();
    QCOMPARE(platform->messages.size(), std::size_t(1));
    QCOMPARE(platform->printed.size(), std::size_t(2));
    QCoreApplication::processEvents();
    QCOMPARE(platform->printed.size(), std::size_t(2));
}

void TestPrintRun::jobName_data() {
    QTest::addColumn<QString>("cuit");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("copy");
    QTest::addColumn<QString>("name");
    QTest::newRow("copy 1 is the bank's")
        << "20123456786"
        << "05"
        << "2026" << 1 << "Talonario 20-12345678-6 05/2026 copia 1 (banco)";
    QTest::newRow("copy 2 is the depositor's")
        << "20123456786"
        << "05"
        << "2026" << 2 << "Talonario 20-12345678-6 05/2026 copia 2 (depositante)";
    QTest::newRow("a one-digit month gets its zero")
        << "30712345671"
        << "5"
        << "2026" << 1 << "Talonario 30-71234567-1 05/2026 copia 1 (banco)";
    QTest::newRow("December") << "30712345671"
                              << "12"
                              << "1999" << 2
                              << "Talonario 30-71234567-1 12/1999 copia 2 (depositante)";
    QTest::newRow("pasted text after the digits stays out")
        << "20123456786\nx"
        << "5 y"
        << "2026/" << 1 << "Talonario 20-12345678-6 05/2026 copia 1 (banco)";
}

void TestPrintRun::jobName() {
    QFETCH(QString, cuit);
    QFETCH(QString, month);
    QFETCH(QString, year);
    QFETCH(int, copy);
    QFETCH(QString, name);
    QCOMPARE(app::PrintJobName(cuit, month, year, copy), name);
}

void TestPrintRun::focusLeavesNoTraceOnThePage_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("tabs");
    QTest::newRow("mouse only") << "txtNombre" << 0;
    QTest::newRow("one Tab from the name box") << "txtNombre" << 1;
    QTest::newRow("Tab into the check box") << "txtOtrosConceptosDec" << 1;
}

void TestPrintRun::focusLeavesNoTraceOnThePage() {
    // With the boxes hidden for printing the focus lands on the check box; a
    // window used from the keyboard draws it highlighted, and that must not
    // reach the paper: the pages are those of a window never shown.
    QFETCH(QString, from);
    QFETCH(int, tabs);
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->control(from)->setFocus();
    for (int i = 0; i < tabs; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::mouseClick(window->control("Command2"), Qt::LeftButton);
    QCOMPARE(platform->printed.size(), 2u);

    ScriptedPlatform otherPlatform;
    app::VoucherWindow unseen(otherPlatform);
    FillValidVoucher(unseen);
    Fill(unseen, {{"Text4", "26"}, {"txtOtrosDesc", "Aporte\nextra"}, {"txtPesos", "Mil"}});
    unseen.PrintRun();
    QCOMPARE(otherPlatform.printed.size(), 2u);
    for (std::size_t copy = 0; copy < 2; ++copy) {
        QCOMPARE(Rasterise(platform->printed[copy]), Rasterise(otherPlatform.printed[copy]));
    }
}

QTEST_MAIN(TestPrintRun)
#include "TestPrintRun.moc"
