// SPDX-License-Identifier: GPL-3.0-or-later
// Where the voucher window opens: centred when the screen has room for it,
// never with its title bar above the top of the free area, the one place
// from which the user could drag it back, and with its close box and
// buttons on the screen when the screen is narrower than the window.
#include <QScreen>
#include <QtTest>

#include "ScriptedPlatform.h"
#include "app/Placement.h"
#include "app/VoucherWindow.h"
#include "assets/Assets.h"

class TestWindowPlacement : public QObject {
    Q_OBJECT
  private slots:
    void placement_data();
    void placement();
    void windowOpensWithTitleBarOnScreen();
    void windowOpensPlacedFromItsFrame();
};

void TestWindowPlacement::placement_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("position");

    // The voucher window is 670 x 708 device-independent pixels.
    const QSize voucher(670, 708);
    QTest::newRow("1920x1080, panel below: centred")
        << QRect(0, 0, 1920, 1040) << voucher << QPoint(625, 166);
    QTest::newRow("1366x768 at 125 %, panel below: too low, top edge kept")
        << QRect(0, 0, 1093, 584) << voucher << QPoint(211, 0);
    QTest::newRow("1366x768 at 125 %, panel above: under the panel")
        << QRect(0, 27, 1093, 587) << voucher << QPoint(211, 27);
    QTest::newRow("1366x768, panel above: fits, centred below the panel")
        << QRect(0, 32, 1366, 736) << voucher << QPoint(348, 46);
    QTest::newRow("exactly as tall as the free area: flush with its top")
        << QRect(0, 30, 1280, 708) << voucher << QPoint(305, 30);
    QTest::newRow("second screen left of the first: centred on it")
        << QRect(-1280, 0, 1280, 1024) << voucher << QPoint(-975, 158);
    QTest::newRow("second screen above, too small: its own top edge")
        << QRect(0, -600, 800, 560) << voucher << QPoint(65, -600);
    QTest::newRow("narrower than the window: right edges flush, blank left margin off")
        << QRect(0, 0, 640, 900) << voucher << QPoint(-30, 96);
    QTest::newRow("smaller both ways: top and right edges of the free area")
        << QRect(40, 24, 600, 500) << voucher << QPoint(-30, 24);
    QTest::newRow("1280x720 at scale 2, framed: close box kept on the screen")
        << QRect(0, 0, 640, 360) << QSize(674, 740) << QPoint(-34, 0);
    QTest::newRow("exactly as wide as the free area: flush with both edges")
        << QRect(0, 0, 670, 1000) << voucher << QPoint(0, 146);
}

void TestWindowPlacement::placement() {
    QFETCH(QRect, available);
    QFETCH(QSize, window);
    QFETCH(QPoint, position);

    QCOMPARE(app::PlaceWindow(available, window), position);
}

void TestWindowPlacement::windowOpensWithTitleBarOnScreen() {
    // The screen is a 1366x768 one at 125 % (see small-screen.json), lower than the window.
    InitAssets();
    ScriptedPlatform platform;
    app::VoucherWindow window(platform);
    QScreen* screen = window.screen();
    QVERIFY(screen);
    const QRect available = screen->availableGeometry();
    QVERIFY2(available.height() < window.height(), "the screen must be lower than the window");
    QCOMPARE(window.pos(), app::PlaceWindow(available, window.frameGeometry().size()));
    QCOMPARE(window.pos().y(), available.top());
    // Shown, with the title bar the window manager adds above the client area.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY2(window.frameGeometry().top() >= available.top(),
             qPrintable(QStringLiteral("title bar at y = %1").arg(window.frameGeometry().top())));
    QVERIFY(window.geometry().top() > window.frameGeometry().top());
}

void TestWindowPlacement::windowOpensPlacedFromItsFrame() {
    // Run on each screen the test is registered for (see CMakeLists.txt).
    InitAssets();
    ScriptedPlatform platform;
    app::VoucherWindow window(platform);
    QScreen* screen = window.screen();
    QVERIFY(screen);
    const QRect available = screen->availableGeometry();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Placed again once the frame is known: from the outer size, title bar included.
    QVERIFY(window.frameGeometry().size() != window.size());
    // Within a pixel: at scale 2 a position left of the screen rounds.
    QTRY_VERIFY2((window.frameGeometry().topLeft() -
                  app::PlaceWindow(available, window.frameGeometry().size()))
                         .manhattanLength() <= 1,
                 qPrintable(QStringLiteral("frame at %1,%2")
                                .arg(window.frameGeometry().x())
                                .arg(window.frameGeometry().y())));
    const QRect frame = window.frameGeometry();
    QVERIFY2(frame.top() >= available.top(),
             qPrintable(QStringLiteral("title bar at y = %1").arg(frame.top())));
    if (frame.height() <= available.height()) {
        // Centred as it is seen, not half a title bar low.
        QVERIFY(qAbs((frame.top() - available.top()) - (available.bottom() - frame.bottom())) <= 1);
    }
    // The close box is at the right end of the title bar; at scale 2 the
    // frame's odd device pixel may round one logical pixel over.
    QVERIFY2(frame.right() <= available.right() + 1,
             qPrintable(QStringLiteral("right edge at x = %1").arg(frame.right())));
    for (const char* name : {"Command2"}) {
        QWidget* button = window.control(QString::fromLatin1(name));
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        QVERIFY2(available.contains(onScreen),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 off the free area")
                                .arg(QLatin1String(name))
                                .arg(onScreen.x())
                                .arg(onScreen.y())
                                .arg(onScreen.width())
                                .arg(onScreen.height())));
    }
    // Moved by the user, it stays there.
    const QPoint moved = available.topLeft() + QPoint(10, 20);
    window.move(moved);
    QTRY_COMPARE(window.frameGeometry().topLeft(), moved);
    QTest::qWait(50);
    QCOMPARE(window.frameGeometry().topLeft(), moved);
}

QTEST_MAIN(TestWindowPlacement)
#include "TestWindowPlacement.moc"
