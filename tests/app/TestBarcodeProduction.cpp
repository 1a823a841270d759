// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QLabel>
#include <QtTest>
#include <memory>

#include "VoucherFixture.h"
#include "ZbarDecode.h"
#include "app/Canvas.h"
#include "platform/FileLock.h"
#include "platform/Files.h"

using platform::Icon;

namespace {

// Another run that rewrites the shared bitmap between this run's save and its load.
class IntrudedPlatform : public ScriptedPlatform {
  public:
    void SavePicture(const QImage& picture, const QString& path) override {
        QImage other = picture;
        other.invertPixels();
        ScriptedPlatform::SavePicture(other, path);
    }
};

// Whether another holder has the lock on `path`'s round trip right now: a lock
// of our own on the same file, as a second process would take it, fails.
bool LockHeld(const QString& path) {
    platform::FileLock probe(platform::EncodeName(path + QStringLiteral(".lock")));
    return !probe.TryLock(0);
}

// Records each step of the bitmap's round trip with whether the lock on its
// file was held at that moment.
class LockWatchingPlatform : public ScriptedPlatform {
  public:
    QStringList steps;

    void SavePicture(const QImage& picture, const QString& path) override {
        Record("save", path);
        ScriptedPlatform::SavePicture(picture, path);
    }
    QImage LoadPicture(const QString& path) override {
        Record("load", path);
        return ScriptedPlatform::LoadPicture(path);
    }
    void DeleteFile(const QString& path) override {
        Record("delete", path);
        ScriptedPlatform::DeleteFile(path);
    }

  private:
    void Record(const char* step, const QString& path) {
        const QString where = path.startsWith(programDir.path()) ? "program" : "temporary";
        steps << QStringLiteral("%1 %2%3").arg(step, where, LockHeld(path) ? "" : " unlocked");
    }
};

}  // namespace

// The payment code and its barcode put on the voucher, through the bitmap file.
class TestBarcodeProduction : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void refusals_data();
    void refusals();
    void codes_data();
    void codes();
    void twoCallsInARow();
    void staleFileIsReplacedAndRemoved();
    void plantedLinkIsNeverFollowed();
    void unwritableProgramFolderFallsBackToTemporary();
    void noWritableFolderReachesTheCaller();
    void barcodeOnScreenIsNotSmoothed();
    void anotherRunsPictureIsNeverShown();
    void lockLeavesNoFileBehind();
    void roundTripHoldsTheLock_data();
    void roundTripHoldsTheLock();

  private:
    void expectBarcode(const QString& code);
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestBarcodeProduction::init() {
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
}

void TestBarcodeProduction::cleanup() {
    window.reset();
    platform.reset();
}

void TestBarcodeProduction::expectBarcode(const QString& code) {
    QCOMPARE(window->text("Text1"), code);
    const auto decoded = DecodeBarcodes(BarcodeOnVoucher(*window));
    QCOMPARE(decoded.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(decoded[0]), code.trimmed());
    QVERIFY(!window->control("Picture1")->isVisible());
    QCOMPARE(FilesIn(platform->ProgramFolder()), QStringList());
    QCOMPARE(FilesIn(platform->TemporaryFolder()), QStringList());
}

void TestBarcodeProduction::refusals_data() {
    QTest::addColumn<QStringList>("changes");  // control=text pairs over a valid voucher
    QTest::addColumn<bool>("compute");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("surchargeAfter");  // txtRecargo once refused
    QTest::newRow("no total computed yet") << QStringList{"txtRecargo="} << false << "Excepción"
                                           << "No se ha calculado el monto total"
                                           << "";
    QTest::newRow("ten-digit cuit")
        << QStringList{"txtCuit=2012345678", "txtRecargo="} << true << "Liquidor"
        << "El C.U.I.T. debe tener 11 Números"
        << "";
    QTest::newRow("empty payroll")
        << QStringList{"txtRemuneracion=", "txtRecargo="} << true << "Liquidor"
        << "Debe ingresar la Remuneración obtenida"
        << "";
    QTest::newRow("payroll of 0 pesos and 50 cents")
        << QStringList{"txtRemuneracion=0", "txtRemuneracionDec=50", "txtRecargo="} << true
        << "Liquidor"
        << "Debe ingresar la Remuneración obtenida"
        << "";
    QTest::newRow("empty month fills the amounts first")
        << QStringList{"txtMes=", "txtRecargo="} << true << "Error"
        << "El mes ingresado es incorrecto"
        << "00";
    QTest::newRow("month 00") << QStringList{"txtMes=00"} << true << "Error"
                              << "El mes ingresado es incorrecto"
                              << "12";
    QTest::newRow("year 1990") << QStringList{"txtAnio=1990", "txtRecargo="} << true << "Error"
                               << "El año ingresado es incorrecto"
                               << "00";
    QTest::newRow("bad cuit and empty month tell the cuit only")
        << QStringList{"txtCuit=1", "txtMes=", "txtRecargo="} << true << "Liquidor"
        << "El C.U.I.T. debe tener 11 Números"
        << "";
}

void TestBarcodeProduction::refusals() {
    QFETCH(QStringList, changes);
    QFETCH(bool, compute);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFETCH(QString, surchargeAfter);
    // A first voucher's barcode, which a refusal must leave in place.
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    const QString code = window->text("Text1");
    const QImage barcode = BarcodeOnVoucher(*window);
    if (!compute) {
        window->setText("txtTotal", QString());
        window->setText("TXTtotalDec", QString());
    }
    for (const QString& change : changes) {
        window->setText(change.section(u'=', 0, 0), change.section(u'=', 1));
    }
    if (compute) {
        window->ComputeContribution();
    }
    platform->messages.clear();
    QVERIFY(!window->GenerateBarcode());
    QCOMPARE(platform->messages.size(), std::size_t(1));
    QCOMPARE(platform->messages[0].title, title);
    QCOMPARE(platform->messages[0].text, message);
    QCOMPARE(platform->messages[0].icon, Icon::Critical);
    QCOMPARE(platform->messages[0].buttons, platform::Buttons::Ok);
    QCOMPARE(window->text("txtRecargo"), surchargeAfter);
    QCOMPARE(window->text("Text1"), code);
    QCOMPARE(BarcodeOnVoucher(*window), barcode);
}

void TestBarcodeProduction::codes_data() {
    QTest::addColumn<QString>("cuit");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("totalCents");
    QTest::addColumn<QString>("staff");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("staffAfter");
    QTest::newRow("worked example") << "20123456789"
                                    << "1861"
                                    << "85"
                                    << "7"
                                    << "52472012345678900186185"
                                    << "7";
    QTest::newRow("a total of zero counts as computed") << "20123456789"
                                                        << "0"
                                                        << "00"
                                                        << "7"
                                                        << "52472012345678900000000"
                                                        << "7";
    QTest::newRow("cuit with a leading zero keeps its blank") << "01234567890"
                                                              << "35"
                                                              << "00"
                                                              << "120"
                                                              << "52471234567890 00003500"
                                                              << "120";
    QTest::newRow("empty staff count becomes 0") << "27999888776"
                                                 << "34999"
                                                 << "98"
                                                 << ""
                                                 << "52472799988877603499998"
                                                 << "0";
}

void TestBarcodeProduction::codes() {
    QFETCH(QString, cuit);
    QFETCH(QString, total);
    QFETCH(QString, totalCents);
    QFETCH(QString, staff);
    QFETCH(QString, code);
    QFETCH(QString, staffAfter);
    FillValidVoucher(*window);
    window->setText("txtCuit", cuit);
    window->setText("txtCPersonal", staff);
    window->setText("txtTotal", total);
    window->setText("TXTtotalDec", totalCents);
    QVERIFY(window->GenerateBarcode());
    QVERIFY(platform->messages.empty());
    expectBarcode(code);
    QCOMPARE(window->text("txtCPersonal"), staffAfter);
}

void TestBarcodeProduction::twoCallsInARow() {
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    const QString first = window->text("Text1");
    window->setText("txtRecargo", "100");
    window->ComputeTotal();
    QVERIFY(window->GenerateBarcode());
    QVERIFY(window->text("Text1") != first);
    expectBarcode(window->text("Text1"));
}

void TestBarcodeProduction::staleFileIsReplacedAndRemoved() {
    QFile stale(platform->ProgramFolder() + "/picCode.bmp");
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("not a bitmap");
    stale.close();
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    expectBarcode(window->text("Text1"));
}

void TestBarcodeProduction::plantedLinkIsNeverFollowed() {
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath("precious.txt");
    QFile file(victim);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    QVERIFY(QFile::link(victim, platform->ProgramFolder() + "/picCode.bmp"));
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    expectBarcode(window->text("Text1"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestBarcodeProduction::unwritableProgramFolderFallsBackToTemporary() {
    platform->programFolderOverride = platform->programDir.filePath("missing/folder");
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    expectBarcode(window->text("Text1"));
}

void TestBarcodeProduction::noWritableFolderReachesTheCaller() {
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    const QImage previous = BarcodeOnVoucher(*window);
    platform->programFolderOverride = platform->programDir.filePath("missing");
    platform->temporaryDir.remove();
    window->setText("txtRecargo", "100");
    window->ComputeTotal();
    QVERIFY_THROWS_EXCEPTION(platform::Failure, window->GenerateBarcode());
    QCOMPARE(BarcodeOnVoucher(*window), previous);
}

void TestBarcodeProduction::barcodeOnScreenIsNotSmoothed() {
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    const QImage shown = window->control("Image1")->grab().toImage();
    QCOMPARE(shown.size(), QSize(409, 81));
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb pixel = shown.pixel(x, y);
            QVERIFY2(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255),
                     qPrintable(QStringLiteral("grey at %1,%2").arg(x).arg(y)));
        }
    }
    const auto decoded = DecodeBarcodes(shown);
    QCOMPARE(decoded.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(decoded[0]), window->text("Text1"));
}

void TestBarcodeProduction::anotherRunsPictureIsNeverShown() {
    window.reset();
    platform = std::make_unique<IntrudedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    FillValidVoucher(*window);
    QVERIFY_THROWS_EXCEPTION(platform::Failure, window->GenerateBarcode());
    QVERIFY(BarcodeOnVoucher(*window).isNull());
    QCOMPARE(FilesIn(platform->ProgramFolder()), QStringList());
}

void TestBarcodeProduction::lockLeavesNoFileBehind() {
    FillValidVoucher(*window);
    QVERIFY(window->GenerateBarcode());
    QVERIFY(window->GenerateBarcode());
    QCOMPARE(FilesIn(platform->ProgramFolder()), QStringList());
}

void TestBarcodeProduction::roundTripHoldsTheLock_data() {
    QTest::addColumn<QStringList>("heldByAnother");  // folders whose lock another run holds
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("produced");
    QTest::newRow("free: the program's folder, locked throughout")
        << QStringList{} << QStringList{"save program", "load program", "delete program"} << true;
    QTest::newRow("program's folder busy: the temporary folder instead")
        << QStringList{"program"}
        << QStringList{"save temporary", "load temporary", "delete temporary"} << true;
    QTest::newRow("both busy: nothing written, nothing shown")
        << QStringList{"program", "temporary"} << QStringList{} << false;
}

void TestBarcodeProduction::roundTripHoldsTheLock() {
    QFETCH(QStringList, heldByAnother);
    QFETCH(QStringList, steps);
    QFETCH(bool, produced);
    window.reset();
    auto watching = std::make_unique<LockWatchingPlatform>();
    LockWatchingPlatform& watched = *watching;
    platform = std::move(watching);
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    // Another run in the middle of its own round trip, as a second process would hold it.
    std::vector<std::unique_ptr<platform::FileLock>> others;
    for (const QString& folder : heldByAnother) {
        const QString path =
            (folder == "program" ? platform->ProgramFolder() : platform->TemporaryFolder()) +
            "/picCode.bmp.lock";
        others.push_back(std::make_unique<platform::FileLock>(platform::EncodeName(path)));
        QVERIFY(others.back()->TryLock(0));
    }
    FillValidVoucher(*window);
    if (produced) {
        QVERIFY(window->GenerateBarcode());
        others.clear();
        expectBarcode(window->text("Text1"));
    } else {
        QVERIFY_THROWS_EXCEPTION(platform::Failure, window->GenerateBarcode());
        QVERIFY(BarcodeOnVoucher(*window).isNull());
    }
    QCOMPARE(watched.steps, steps);
}

QTEST_MAIN(TestBarcodeProduction)
#include "TestBarcodeProduction.moc"
