// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextStream>

namespace cli {

class CommandLine;

// `talonario --pdf FILE [options]`: fills the voucher off screen from the
// options and writes it as a two-page PDF; the payment code goes to `out`,
// every message to `err`. With --imprimir [--impresora NOMBRE] the two
// copies are printed instead, no file written. Returns the exit status.
int RunPdfCommand(const CommandLine& line, QTextStream& out, QTextStream& err);

}  // namespace cli
