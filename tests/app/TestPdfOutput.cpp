// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "PdfReadBack.h"
#include "VoucherFixture.h"
#include "ZbarDecode.h"

// The "GUARDAR PDF" button: the print run into one two-page PDF file.
class TestPdfOutput : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void savesBothCopiesAsTextAndBarcode();
    void nothingWrittenUnlessConfirmed_data();
    void nothingWrittenUnlessConfirmed();
    void unwritableFolderIsToldAndLeavesNoFile();
    void ctrlSLeavesTheBoxThenSaves();

  private:
    void clickSave() {
        QTest::mouseClick(window->control<QPushButton>("cmdGuardarPdf"), Qt::LeftButton);
    }
    QTemporaryDir out;
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestPdfOutput::init() {
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    FillValidVoucher(*window);
    QDir(out.path()).removeRecursively();
    QDir().mkpath(out.path());
}

void TestPdfOutput::cleanup() {
    window.reset();
    platform.reset();
}

void TestPdfOutput::savesBothCopiesAsTextAndBarcode() {
    platform->saveNames = {out.filePath("voucher")};
    clickSave();
    QCOMPARE(platform->proposedNames, QStringList{"comprobante-20123456789-2026-05.pdf"});
    QCOMPARE(platform->messageTexts(),
             QStringList{"¿Confirma que los datos son correctos y desea guardar el comprobante "
                         "en PDF?"});
    QCOMPARE(platform->messages[0].title, QStringLiteral("Guardar PDF"));
    QCOMPARE(FilesIn(out.path()), QStringList{"voucher.pdf"});
    const QString pdf = out.filePath("voucher.pdf");
    QCOMPARE(PdfPageCount(pdf), 2);
    const QStringList titles{"Para el Banco - Comprobante de Caja",
                             "Talón para el Depositante - Comprobante de Caja"};
    for (int page = 1; page <= 2; ++page) {
        const QString text = PdfPageText(pdf, page);
        QVERIFY2(text.contains(titles[page - 1]), qPrintable(text));
        QVERIFY(text.contains(QRegularExpression(QStringLiteral("(^|\\n)%1\\n").arg(page))));
        QVERIFY(text.contains("Taller Norte"));
        QVERIFY(text.contains("20123456789"));
        QVERIFY(text.contains(window->text("Text1")));
        QVERIFY(!text.contains("IMPRIMIR"));
        QVERIFY(!text.contains("GUARDAR PDF"));
        const auto decoded = DecodeBarcodes(PdfPageImage(pdf, page, 300));
        QCOMPARE(decoded.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(decoded[0]), window->text("Text1"));
    }
    QVERIFY(window->control("cmdGuardarPdf")->isVisible());
    QVERIFY(window->control("txtNombre")->isVisible());
}

void TestPdfOutput::nothingWrittenUnlessConfirmed_data() {
    QTest::addColumn<bool>("chooseFile");
    QTest::addColumn<int>("messages");
    QTest::newRow("cancelled save dialog") << false << 0;
    QTest::newRow("confirmation answered No") << true << 1;
}

void TestPdfOutput::nothingWrittenUnlessConfirmed() {
    QFETCH(bool, chooseFile);
    QFETCH(int, messages);
    if (chooseFile) {
        platform->saveNames = {out.filePath("voucher.pdf")};
    }
    platform->answers = {platform::Answer::No};
    clickSave();
    QCOMPARE(int(platform->messages.size()), messages);
    QCOMPARE(FilesIn(out.path()), QStringList());
    QCOMPARE(window->text("Text1").size(), 23);  // the barcode was produced all the same
}

void TestPdfOutput::unwritableFolderIsToldAndLeavesNoFile() {
    platform->saveNames = {out.filePath("missing/voucher.pdf")};
    clickSave();
    QCOMPARE(platform->messages.size(), std::size_t(2));
    QCOMPARE(platform->messages[1].icon, platform::Icon::Critical);
    QVERIFY(platform->messages[1].text.startsWith("No se pudo guardar el comprobante."));
    QCOMPARE(FilesIn(out.path()), QStringList());
    QVERIFY(window->control("cmdGuardarPdf")->isVisible());
}

void TestPdfOutput::ctrlSLeavesTheBoxThenSaves() {
    // Out of the tab chain, the button is reached by Ctrl+S, named where the
    // mouse finds it; like a click, the shortcut lets the box left compute first.
    auto* button = window->control<QPushButton>("cmdGuardarPdf");
    QCOMPARE(button->focusPolicy(), Qt::ClickFocus);
    QVERIFY2(button->toolTip().contains("Ctrl+S"), qPrintable(button->toolTip()));
    QCOMPARE(button->accessibleName(), QStringLiteral("Guardar PDF"));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QWidget* cents = window->control("txtRecargoDec");
    cents->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), cents);
    QTest::keyClick(cents, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(cents, Qt::Key_5);
    platform->saveNames = {out.filePath("voucher")};
    QTest::keyClick(cents, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(window->text("txtRecargoDec"), QStringLiteral("05"));
    // 1861,85 + 12,05 + 7,50
    QCOMPARE(window->text("txtTotal") + "," + window->text("TXTtotalDec"),
             QStringLiteral("1881,40"));
    QCOMPARE(FilesIn(out.path()), QStringList{"voucher.pdf"});
    QVERIFY(window->text("Text1").endsWith("00188140"));
}

QTEST_MAIN(TestPdfOutput)
#include "TestPdfOutput.moc"
