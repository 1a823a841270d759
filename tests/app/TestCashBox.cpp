// SPDX-License-Identifier: GPL-3.0-or-later
// The cash check box sits on the white voucher: around its square it must be
// white too, on the screen and on the printed page, never a grey patch.
#include <QCheckBox>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include "ScriptedPlatform.h"
#include "app/VoucherWindow.h"
#include "assets/Assets.h"

namespace {

// The pixels of `area` in `image`, outside `square`, that are not white, as
// "x,y #rrggbb".
QStringList NonWhiteAround(const QImage& image, const QRect& area, const QRect& square) {
    QStringList found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (!square.contains(x, y) && colour != QColor(Qt::white)) {
                found << QStringLiteral("%1,%2 %3").arg(x).arg(y).arg(colour.name());
            }
        }
    }
    return found;
}

// The square the style draws the tick in, in the box's own coordinates.
QRect IndicatorOf(const QCheckBox& box) {
    QStyleOptionButton option;
    option.initFrom(&box);
    return box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
}

}  // namespace

class TestCashBox : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { InitAssets(); }
    void whiteAroundTheSquare_data();
    void whiteAroundTheSquare();
};

void TestCashBox::whiteAroundTheSquare_data() {
    QTest::addColumn<bool>("onPaper");
    QTest::addColumn<bool>("ticked");

    QTest::newRow("on screen, clear") << false << false;
    QTest::newRow("on screen, ticked") << false << true;
    QTest::newRow("on the printed page, clear") << true << false;
    QTest::newRow("on the printed page, ticked") << true << true;
}

void TestCashBox::whiteAroundTheSquare() {
    QFETCH(bool, onPaper);
    QFETCH(bool, ticked);

    ScriptedPlatform platform;
    app::VoucherWindow window(platform);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* cash = window.control<QCheckBox>(QStringLiteral("Check1"));
    QVERIFY(cash);
    cash->setChecked(ticked);
    const QRect square = IndicatorOf(*cash);
    QVERIFY(!square.isEmpty());
    QVERIFY2(!square.contains(cash->rect()), "no pixel of the box lies outside its square");
    QStringList grey;
    if (onPaper) {
        const QImage page =
            Rasterise(window.RecordPage(), Qt::red);  // what the page does not paint shows
        grey = NonWhiteAround(page, cash->geometry(), square.translated(cash->pos()));
    } else {
        const QImage shot = cash->grab().toImage();
        grey = NonWhiteAround(shot, shot.rect(), square);
    }
    QVERIFY2(grey.isEmpty(), qPrintable(grey.mid(0, 8).join(QStringLiteral("; "))));
}

QTEST_MAIN(TestCashBox)
#include "TestCashBox.moc"
