// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace batch {

// "name.pdf", then "name (2).pdf", "name (3).pdf"...: the `attempt`th
// candidate for a proposed file name (attempt 1 is the name itself).
QString NumberedName(const QString& proposed, int attempt);

// The first attempt from `from` on that `taken` says is free, found in a
// number of probes that grows with the logarithm of the taken run, so a
// folder holding " (2)" ... " (100000)" costs a few dozen probes, not a
// hundred thousand. Where taken numbers have gaps a later free one may be
// given: any free name will do, and claiming it is what decides.
int FirstFree(const std::function<bool(int)>& taken, int from);

}  // namespace batch
