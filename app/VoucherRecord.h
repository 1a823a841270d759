// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "history/Store.h"

namespace app {

class VoucherWindow;

// A voucher as the window holds it, for the record: every entry box's text
// as typed, by control name ("Check1" as "0" or "1"), the contribution and
// the total as shown ("1234,56"), and the payment code. Where it went, how,
// and when are the caller's to fill in; the program's version is set.
history::Voucher VoucherOf(const VoucherWindow& window);

// Puts a recorded voucher back into a window, boxes and figures as they were
// when it left, so that its print or save run gives the same pages. Boxes
// the record does not name are emptied. No dialog: the command line uses it
// too.
void FillWindow(VoucherWindow& window, const history::Voucher& voucher);

}  // namespace app
