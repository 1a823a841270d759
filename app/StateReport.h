#pragma once

#include <QString>

namespace app {

class VoucherWindow;

// Writes every entry box's and computed label's text as "name<TAB>text"
// lines (line breaks as \n), so a test driving the real program through a
// real display can see what the voucher holds when it closes.
bool WriteStateReport(const VoucherWindow& window, const QString& path);

}  // namespace app
