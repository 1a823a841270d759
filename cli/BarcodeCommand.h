// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QTextStream>

namespace cli {

class CommandLine;

// talonario --barcode TEXT --output FILE.bmp [--bar-height TENS] [--legend]
// Draws TEXT (printable ASCII) as a Code 128 barcode and writes it as a 24-bit bitmap. A
// QGuiApplication must exist (the offscreen platform will do). Returns an exit status
// (cli/ExitStatus.h), each failure with one line on `err`. The file is only replaced once the
// drawing has succeeded.
int RunBarcodeCommand(const CommandLine& line, QTextStream& err);
// The same from a whole command line, program name first.
int RunBarcodeCommand(const QStringList& arguments, QTextStream& err);

}  // namespace cli
