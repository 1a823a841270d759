#pragma once

#include <QHash>
#include <QStringList>
#include <QTextStream>
#include <optional>

namespace app {

class VoucherWindow;

// A voucher's entries by option name without the dashes ("cuit",
// "otros-desc"...), as `--pdf` takes them; "efectivo" present means cash.
using VoucherValues = QHash<QString, QString>;

// The names a voucher's entries go by, "efectivo" included.
QStringList VoucherOptionNames();

// Types the values into the boxes through the keyboard's filters and leaves
// the amount boxes in tab order, exactly as `--pdf` does. Returns the
// refusal ("--cuit: no admite ...") or nothing.
std::optional<QString> FillVoucher(VoucherWindow& window, const VoucherValues& values);

// `talonario --pdf FILE [options]`: fills the voucher off screen from the
// options and writes it as a two-page PDF. Returns the exit status.
int RunPdfCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace app
