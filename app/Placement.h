#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace app {

// Where a window of `size` (its outer size, title bar included when known)
// goes on a screen whose free area is `available`: centred when it fits;
// otherwise against the area's top and left edges, so that its title bar,
// the only handle by which the user can move it, stays on the screen.
QPoint PlaceWindow(const QRect& available, const QSize& size);

}  // namespace app
