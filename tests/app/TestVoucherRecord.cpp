// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QFileInfo>
#include <QtTest>
#include <memory>

#include "MemoryStore.h"
#include "VoucherFixture.h"
#include "app/VoucherRecord.h"

using platform::Answer;

namespace {

using Boxes = QList<std::pair<QString, QString>>;

// A window on its own scripted platform, shown as the user has it.
struct Shown {
    ScriptedPlatform platform;
    std::unique_ptr<app::VoucherWindow> window = std::make_unique<app::VoucherWindow>(platform);
    Shown() {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

void FillBoxes(app::VoucherWindow& window, const Boxes& boxes, bool cash) {
    FillValidVoucher(window);
    for (const auto& [name, text] : boxes) {
        window.setText(name, text);
    }
    window.control<QCheckBox>(QStringLiteral("Check1"))->setChecked(cash);
    window.ComputeContribution();
}

QList<QImage> Pictures(const std::vector<platform::Page>& pages) {
    QList<QImage> pictures;
    for (const platform::Page& page : pages) {
        pictures << Rasterise(page);
    }
    return pictures;
}

}  // namespace

// A voucher as the window holds it, taken for the record and put back into
// another window: the two print the same pages, and a run records only a
// voucher that left, whatever the store does.
class TestVoucherRecord : public QObject {
    Q_OBJECT
  private slots:
    void refilledWindowPrintsTheSamePages_data();
    void refilledWindowPrintsTheSamePages();
    void runsRecordWhatLeft_data();
    void runsRecordWhatLeft();
};

void TestVoucherRecord::refilledWindowPrintsTheSamePages_data() {
    QTest::addColumn<Boxes>("boxes");
    QTest::addColumn<bool>("cash");
    QTest::addColumn<bool>("byKeyboard");  // Tab pressed before the click
    QTest::newRow("the employer's voucher, amounts only")
        << Boxes{{"txtCalle", "Av. Corrientes 1234"}, {"txtCP", "1043"}} << false << false;
    QTest::newRow("the same, the window used from the keyboard")
        << Boxes{{"txtCalle", "Av. Corrientes 1234"}, {"txtCP", "1043"}} << false << true;
    QTest::newRow("every box typed, cash ticked")
        << Boxes{{"txtCalle", "San Martín 50"},
                 {"txtCP", "5000"},
                 {"txtLoc", "Córdoba"},
                 {"txtPcia", "Córdoba"},
                 {"txtCheque", "00123"},
                 {"txtBanco", "Nación"},
                 {"txtPesos", "Mil ochocientos con 20/100"},
                 {"txtOtrosDesc", "Aporte\nextraordinario"},
                 {"Text2", "15"},
                 {"Text3", "Junio"},
                 {"Text4", "26"}}
        << true << true;
    QTest::newRow("amounts left empty, filled with zeros by the run")
        << Boxes{{"txtRecargo", ""},
                 {"txtRecargoDec", ""},
                 {"txtOtrosConceptos", ""},
                 {"txtOtrosConceptosDec", ""}}
        << false << false;
    QTest::newRow("blanks and a name with ñ kept as typed")
        << Boxes{{"txtNombre", "Panadería La Ñata "}, {"txtLoc", " Lanús"}} << false << false;
}

void TestVoucherRecord::refilledWindowPrintsTheSamePages() {
    QFETCH(Boxes, boxes);
    QFETCH(bool, cash);
    QFETCH(bool, byKeyboard);
    Shown original;
    QVERIFY(QTest::qWaitForWindowActive(original.window.get()));
    FillBoxes(*original.window, boxes, cash);
    if (byKeyboard) {
        // Tab moves on, and the click prints: the focus lands on the check
        // box while the boxes are hidden.
        QTest::keyClick(original.window->control("txtNombre"), Qt::Key_Tab);
    }
    QTest::mouseClick(original.window->control("Command2"), Qt::LeftButton);
    QCOMPARE(original.platform.printed.size(), 2u);
    const history::Voucher voucher = app::VoucherOf(*original.window);
    QVERIFY(!voucher.paymentCode.isEmpty());
    QVERIFY(voucher.total.contains(QLatin1Char(',')));
    QCOMPARE(voucher.boxes.value("Check1"), cash ? QString("1") : QString("0"));

    // As a reprint runs: a window of its own, never shown.
    ScriptedPlatform platform;
    app::VoucherWindow again(platform);
    app::FillWindow(again, voucher);
    QCOMPARE(app::VoucherOf(again).boxes, voucher.boxes);
    again.PrintRun();
    QCOMPARE(platform.printed.size(), 2u);
    QCOMPARE(app::VoucherOf(again).paymentCode, voucher.paymentCode);
    QCOMPARE(app::VoucherOf(again).total, voucher.total);
    QCOMPARE(platform.jobNames, original.platform.jobNames);
    QCOMPARE(Pictures(platform.printed), Pictures(original.platform.printed));
}

void TestVoucherRecord::runsRecordWhatLeft_data() {
    QTest::addColumn<bool>("print");  // IMPRIMIR, else GUARDAR PDF
    QTest::addColumn<bool>("withStore");
    QTest::addColumn<QString>("storeFailure");
    QTest::addColumn<bool>("userCancels");  // at the confirmation, or in the save dialog
    QTest::addColumn<bool>("outputFails");  // a copy refused, or the PDF not written
    QTest::addColumn<bool>("recorded");
    QTest::addColumn<bool>("voucherLeft");
    QTest::addColumn<int>("warnings");  // the not-recorded warning

    const QString full = QStringLiteral("la base de datos está llena");
    QTest::newRow("printed: recorded") << true << true << "" << false << false << true << true << 0;
    QTest::newRow("saved: recorded") << false << true << "" << false << false << true << true << 0;
    QTest::newRow("print cancelled: nothing recorded")
        << true << true << "" << true << false << false << false << 0;
    QTest::newRow("save cancelled: nothing recorded")
        << false << true << "" << true << false << false << false << 0;
    QTest::newRow("a copy failed: nothing recorded")
        << true << true << "" << false << true << false << false << 0;
    QTest::newRow("the PDF failed: nothing recorded")
        << false << true << "" << false << true << false << false << 0;
    QTest::newRow("store fails on print: warned, both copies out")
        << true << true << full << false << false << false << true << 1;
    QTest::newRow("store fails on save: warned, file written")
        << false << true << full << false << false << false << true << 1;
    QTest::newRow("no store: printed, nothing asked")
        << true << false << "" << false << false << false << true << 0;
    QTest::newRow("no store: saved, nothing asked")
        << false << false << "" << false << false << false << true << 0;
}

void TestVoucherRecord::runsRecordWhatLeft() {
    QFETCH(bool, print);
    QFETCH(bool, withStore);
    QFETCH(QString, storeFailure);
    QFETCH(bool, userCancels);
    QFETCH(bool, outputFails);
    QFETCH(bool, recorded);
    QFETCH(bool, voucherLeft);
    QFETCH(int, warnings);

    Shown shown;
    MemoryStore store;
    store.recordFailure = storeFailure;
    if (withStore) {
        shown.window->setStore(&store);
    }
    FillValidVoucher(*shown.window);
    const QString path = shown.platform.temporaryDir.filePath("comprobante.pdf");
    if (print) {
        if (userCancels) {
            shown.platform.answers = {Answer::No};
        }
        if (outputFails) {
            shown.platform.onPrint = [&shown](const platform::Page&) {
                if (shown.platform.printed.size() == 1) {
                    throw platform::Failure("la cola rechazó el trabajo");
                }
            };
        }
        shown.window->PrintRun();
    } else {
        if (!userCancels) {
            shown.platform.saveNames = {
                outputFails ? shown.platform.temporaryDir.filePath("no-existe/comprobante.pdf")
                            : path};
        }
        shown.window->SavePdfRun();
    }

    const bool left = print ? shown.platform.printed.size() == 2 : QFileInfo::exists(path);
    QCOMPARE(left, voucherLeft);
    QCOMPARE(store.recorded.size(), recorded ? 1u : 0u);
    int told = 0;
    for (const platform::Message& message : shown.platform.messages) {
        if (message.title == "Historial") {
            ++told;
            QCOMPARE(message.icon, platform::Icon::Information);
            QVERIFY2(
                message.text.contains("no quedó registrado") && message.text.contains(storeFailure),
                qPrintable(message.text));
        }
    }
    QCOMPARE(told, warnings);
    if (!recorded) {
        return;
    }
    const history::Voucher& voucher = store.recorded.front();
    const history::Voucher shownNow = app::VoucherOf(*shown.window);
    QCOMPARE(voucher.boxes, shownNow.boxes);
    QCOMPARE(voucher.boxes.value("txtCuit"), QString("20123456789"));
    QCOMPARE(voucher.contribution,
             shown.window->text("txtRetencion") + "," + shown.window->text("txtRetencionDec"));
    QCOMPARE(voucher.total,
             shown.window->text("txtTotal") + "," + shown.window->text("TXTtotalDec"));
    QCOMPARE(voucher.paymentCode, shown.window->text("Text1").trimmed());
    QCOMPARE(voucher.how, QString("ventana"));
    QCOMPARE(voucher.destination, print ? QString("Prueba") : QFileInfo(path).absoluteFilePath());
    QVERIFY(voucher.issued.isValid());
    QVERIFY(!voucher.version.isEmpty());
}

QTEST_MAIN(TestVoucherRecord)
#include "TestVoucherRecord.moc"
