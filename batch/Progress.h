// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace batch {

// The progress line of a batch on a terminal: a bar, rows done of total, the
// rate and the time left, fitted to `width` columns.
QString ProgressBar(int done, int total, double elapsedSeconds, int width);

// "1:05" or "1:02:03".
QString Duration(double seconds);

}  // namespace batch
