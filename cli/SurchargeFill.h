// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "cli/VoucherFill.h"

namespace app {
class VoucherWindow;
}

namespace cli {

// The surcharge a voucher command works out from "recargo-desde" (the due
// date) and "tasa" (the monthly rate in percent): the payment date is
// today and the base the contribution the voucher shows.

// Both given, and no "recargo" amount beside them; else the refusal, naming
// the options (or a batch's columns). Nothing when neither is given.
std::optional<QString> CheckSurchargeOptions(const VoucherValues& input);

// Types one value into a box as a person would; the refusal, or nothing.
using TypeIntoBox = std::function<std::optional<QString>(const char* box, const QString& value)>;

// When asked for, works the surcharge out once the amount boxes have been
// left, types it into the Recargo boxes through `type` and leaves them, so
// the total follows. `notes` get the formula line and, when the payment
// was not late, a remark. The refusal (a value that does not read, a result
// past the boxes' 9.999,99), or nothing.
std::optional<QString> TypeSurcharge(app::VoucherWindow& window, const VoucherValues& input,
                                     QStringList& notes, const TypeIntoBox& type);

}  // namespace cli
