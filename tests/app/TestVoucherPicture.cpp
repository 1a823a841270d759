// SPDX-License-Identifier: GPL-3.0-or-later
// The generated voucher picture under what is printed over it: the copy
// title and the copy number land on blank paper, never on the heading, and
// the heading keeps its place above the account box, centred on column 333.
#include <QLabel>
#include <QPainter>
#include <QtTest>

#include "ScriptedPlatform.h"
#include "app/VoucherWindow.h"
#include "assets/Assets.h"

namespace {

constexpr int kInk = 160;  // a grey level below this is ink, not smoothing

bool IsInk(QRgb pixel) {
    return qGray(pixel) < kInk;
}

// What `label` paints with `text`, alone, on a transparent window-sized image.
QImage PaintedAlone(QLabel& label, const QString& text, const QSize& window) {
    label.setText(text);
    QImage image(window, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    label.render(&painter, label.pos(), QRegion(), QWidget::RenderFlags());
    return image;
}

}  // namespace

class TestVoucherPicture : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void printedOverBlankPaper_data();
    void printedOverBlankPaper();
    void headingBetweenTitleAndAccountBox();

  private:
    QImage picture_;
};

void TestVoucherPicture::initTestCase() {
    InitAssets();
    picture_ = assets::ResourcePicture(":/assets/voucher.bmp");
    QCOMPARE(picture_.size(), QSize(567, 712));
}

void TestVoucherPicture::printedOverBlankPaper_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");

    QTest::newRow("copy 1 title") << "lblTitulo"
                                  << "Para el Banco - Comprobante de Caja";
    QTest::newRow("copy 2 title, the longer") << "lblTitulo"
                                              << "Talón para el Depositante - Comprobante de Caja";
    QTest::newRow("copy number 1") << "lblNroFactura"
                                   << "1";
    QTest::newRow("copy number 2") << "lblNroFactura"
                                   << "2";
}

void TestVoucherPicture::printedOverBlankPaper() {
    QFETCH(QString, label);
    QFETCH(QString, text);

    ScriptedPlatform platform;
    app::VoucherWindow window(platform);
    auto* printed = window.control<QLabel>(label);
    QVERIFY(printed);
    const QImage over = PaintedAlone(*printed, text, window.size());
    int inked = 0;
    QStringList clashes;
    for (int y = 0; y < over.height() && y < picture_.height(); ++y) {
        for (int x = 0; x < over.width() && x < picture_.width(); ++x) {
            if (qAlpha(over.pixel(x, y)) == 0) {
                continue;
            }
            ++inked;
            if (picture_.pixel(x, y) != qRgb(255, 255, 255) && clashes.size() < 8) {
                clashes << QStringLiteral("%1,%2").arg(x).arg(y);
            }
        }
    }
    QVERIFY2(inked > 20, "the text was not painted");
    QVERIFY2(clashes.isEmpty(),
             qPrintable("printed over the picture at " + clashes.join(QStringLiteral("; "))));
}

void TestVoucherPicture::headingBetweenTitleAndAccountBox() {
    // The heading's ink above the account box (its top rule is row 65).
    QRect ink;
    for (int y = 0; y < 65; ++y) {
        for (int x = 0; x < picture_.width(); ++x) {
            if (IsInk(picture_.pixel(x, y))) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    QVERIFY(ink.isValid());
    QVERIFY2(ink.top() >= 18, "the heading reaches into the title's rows");
    QVERIFY2(ink.bottom() <= 62, "the heading runs into the account box");
    QVERIFY2(ink.height() >= 36, "four lines need more rows than that");
    QVERIFY2(qAbs(ink.center().x() - 333) <= 3, "the heading is not centred on column 333");
}

QTEST_MAIN(TestVoucherPicture)
#include "TestVoucherPicture.moc"
