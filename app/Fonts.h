// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

#include "app/Layout.h"

namespace app {

// The voucher's fonts on this desktop. Sizes are fixed in pixels (points at
// 96 dots per inch) so the layout renders the same on every screen and page.
QFont VoucherFont(Face face, double points, int weight);

}  // namespace app
