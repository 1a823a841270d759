// SPDX-License-Identifier: GPL-3.0-or-later
// The voucher's captions fit the space before the boxes they label: on the
// screen the box would hide their end ("C.P:" read "C.F"), on paper their
// last letter would run into the first one printed ("Nº20123456786"). The
// buttons' captions keep clear of the buttons' sides.
#include <QLabel>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "VoucherFixture.h"
#include "app/Captions.h"
#include "assets/Assets.h"

namespace {

// The columns where `widget` draws its text: the pixels that differ from the
// same widget drawn without it.
std::pair<int, int> InkColumns(QWidget* widget, const std::function<void(const QString&)>& set,
                               const QString& text) {
    set(QString());
    const QImage blank = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    set(text);
    const QImage drawn = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int first = -1;
    int last = -1;
    for (int x = 0; x < drawn.width(); ++x) {
        for (int y = 0; y < drawn.height(); ++y) {
            if (drawn.pixel(x, y) != blank.pixel(x, y)) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

// The lowest row with ink, or -1.
int LastInkRow(const QImage& image) {
    for (int y = image.height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 0xf0) {
                return y;
            }
        }
    }
    return -1;
}

}  // namespace

class TestCaptions : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();
    void captionEndsBeforeItsBox_data();
    void captionEndsBeforeItsBox();
    void buttonCaptionKeepsClearOfItsSides_data();
    void buttonCaptionKeepsClearOfItsSides();

  private:
    std::unique_ptr<ScriptedPlatform> platform;
    std::unique_ptr<app::VoucherWindow> window;
};

void TestCaptions::init() {
    InitAssets();
    platform = std::make_unique<ScriptedPlatform>();
    window = std::make_unique<app::VoucherWindow>(*platform);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestCaptions::cleanup() {
    window.reset();
    platform.reset();
}

void TestCaptions::captionEndsBeforeItsBox_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("printed");  // the label that prints the box's text, if any
    QTest::newRow("establishment") << "Label2"
                                   << "txtNombre"
                                   << "lblNombre";
    QTest::newRow("street and number") << "Label8"
                                       << "txtCalle"
                                       << "lblCalle";
    QTest::newRow("postal code, 16 px before its box") << "Label12"
                                                       << "txtCP"
                                                       << "lblCP";
    QTest::newRow("locality") << "Label10"
                              << "txtLoc"
                              << "lblLoc";
    QTest::newRow("province") << "Label9(0)"
                              << "txtPcia"
                              << "lblPcia";
    QTest::newRow("C.U.I.T., its Nº before the digits") << "Label11"
                                                        << "txtCuit"
                                                        << "lblCUIT";
    QTest::newRow("cash") << "Label20"
                          << "Check1"
                          << "";
    QTest::newRow("cheque or money order, not the cash box above") << "Label19"
                                                                   << "txtCheque"
                                                                   << "lblCheque";
    QTest::newRow("bank") << "Label17"
                          << "txtBanco"
                          << "lblBanco";
    QTest::newRow("amount in words") << "Label18"
                                     << "txtPesos"
                                     << "lblPesos";
    QTest::newRow("date line, first \"de\"") << "Label16"
                                             << "Text3"
                                             << "lbl3";
    QTest::newRow("date line, \"de 20\": the year prints left of its box") << "Label15"
                                                                           << "Text4"
                                                                           << "lbl4";
}

void TestCaptions::captionEndsBeforeItsBox() {
    QFETCH(QString, caption);
    QFETCH(QString, box);
    QFETCH(QString, printed);
    auto* label = window->control<QLabel>(caption);
    QWidget* labelled = window->control(box);
    QVERIFY(label && labelled);
    const QString text = label->text();
    // The box the fitting goes by is the one the caption labels.
    for (const app::Control& row : app::VoucherControls()) {
        if (QString::fromUtf8(row.name) == caption) {
            const app::Control* found = app::LabelledBox(row, QFontMetrics(label->font()).height());
            QVERIFY(found);
            QCOMPARE(QString::fromUtf8(found->name), box);
        }
    }
    // Its size and weight stay the voucher's.
    QCOMPARE(label->font().pixelSize(), 11);
    QCOMPARE(label->font().weight(), QFont::Normal);
    const auto [first, last] = InkColumns(
        label, [label](const QString& t) { label->setText(t); }, text);
    QVERIFY(first >= 0);
    const int end = label->x() + last;
    int edge = labelled->x();
    if (!printed.isEmpty()) {
        QVERIFY(window->control(printed));
        edge = std::min(edge, window->control(printed)->x());
    }
    QVERIFY2(end < edge - 1,
             qPrintable(QStringLiteral("«%1» ends at x = %2, its box begins at x = %3")
                            .arg(text)
                            .arg(end)
                            .arg(edge)));
    // The whole of it inside the label, none of its lines cut off below.
    const QImage alone = label->grab().toImage();
    const int spacing = QFontMetrics(label->font()).lineSpacing();
    const int lines = LastInkRow(alone) / spacing + 1;
    QVERIFY2(lines * spacing <= label->height() + 1,
             qPrintable(text + " does not fit the label's height"));

    // On paper: between the caption's end and where its box was, on the
    // caption's lines, only paper.
    FillValidVoucher(*window);
    Fill(*window, {{"txtCalle", "Av. Siempreviva 742"},
                   {"txtCP", "1406"},
                   {"txtLoc", "Caballito"},
                   {"txtPcia", "Buenos Aires"},
                   {"txtCheque", "12345678"},
                   {"txtBanco", "Nación"},
                   {"txtPesos", "Mil con 00/100"},
                   {"Text2", "5"},
                   {"Text3", "Junio"},
                   {"Text4", "26"}});
    window->PrintRun();
    QCOMPARE(platform->printed.size(), std::size_t(2));
    const QImage page = Rasterise(platform->printed.front());
    for (int x = end + 1; x < edge; ++x) {
        for (int y = label->y(); y < label->y() + lines * spacing; ++y) {
            QVERIFY2(qGray(page.pixel(x, y)) >= 0xf0,
                     qPrintable(QStringLiteral("ink at %1,%2 between «%3» and its figures")
                                    .arg(x)
                                    .arg(y)
                                    .arg(text)));
        }
    }
}

void TestCaptions::buttonCaptionKeepsClearOfItsSides_data() {
    QTest::addColumn<QString>("button");
    QTest::newRow("IMPRIMIR") << "Command2";
    QTest::newRow("GUARDAR PDF") << "cmdGuardarPdf";
}

void TestCaptions::buttonCaptionKeepsClearOfItsSides() {
    QFETCH(QString, button);
    auto* push = window->control<QPushButton>(button);
    QVERIFY(push);
    const QString text = push->text();
    QCOMPARE(push->font().pixelSize(), 11);
    const auto [first, last] = InkColumns(
        push, [push](const QString& t) { push->setText(t); }, text);
    QVERIFY(first >= 0);
    QVERIFY2(first >= app::kButtonPadding - 1 && last <= push->width() - app::kButtonPadding,
             qPrintable(QStringLiteral("«%1» drawn from x = %2 to %3 in %4 px")
                            .arg(text)
                            .arg(first)
                            .arg(last)
                            .arg(push->width())));
}

QTEST_MAIN(TestCaptions)
#include "TestCaptions.moc"
