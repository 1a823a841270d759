#include "app/Placement.h"

#include <algorithm>

namespace app {

namespace {
// The start of a span of `length` centred in [start, start + room), never
// before `start`.
int CentredStart(int start, int room, int length) {
    return start + std::max(0, (room - length) / 2);
}
}  // namespace

QPoint PlaceWindow(const QRect& available, const QSize& size) {
    return {CentredStart(available.left(), available.width(), size.width()),
            CentredStart(available.top(), available.height(), size.height())};
}

}  // namespace app
