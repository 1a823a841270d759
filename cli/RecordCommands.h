// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTextStream>

namespace cli {

class CommandLine;

// `--historial [--cuit X] [--desde AAAA-MM] [--hasta AAAA-MM]`: the recorded
// vouchers, newest first, as CSV on `out`.
int RunHistoryCommand(const CommandLine& line, QTextStream& out, QTextStream& err);
// `--reimprimir ID --pdf FILE`: the recorded voucher written again, the same
// figures and code; its payment code goes to `out`, and the reprint is recorded.
int RunReprintCommand(const CommandLine& line, QTextStream& out, QTextStream& err);
// `--padron FILE.csv`: the register of employers as a CSV for --lote: the
// employer's columns filled, the month, year and payroll ones empty.
int RunRegisterCommand(const CommandLine& line, QTextStream& err);

}  // namespace cli
