// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace app {

// Where a window of `size` (its outer size, title bar included when known)
// goes on a screen whose free area is `available`: centred when it fits.
// Taller than the area, it goes against the area's top, so that its title
// bar, the only handle by which the user can move it, stays on the screen.
// Wider, its right edge goes against the area's: the voucher's left part is
// blank paper, while its close box and buttons are on the right.
QPoint PlaceWindow(const QRect& available, const QSize& size);

// Keeps a top-level window placed by PlaceWindow from its real outer size.
// Before it is shown the window has no frame yet; the window manager adds
// the title bar once it is shown, so it is placed again whenever its outer
// size turns out different from the one it was placed for. A window the
// user moves keeps its outer size, and so stays where the user put it.
class ScreenPlacement : public QObject {
    Q_OBJECT
  public:
    // Places `window` at once and watches it; a child of `window`.
    explicit ScreenPlacement(QWidget* window);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Place();

    QWidget* window_;
    QSize placedFor_;
};

}  // namespace app
