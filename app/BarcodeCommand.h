#pragma once

#include <QStringList>
#include <QTextStream>

// talonario --barcode TEXT --output FILE.bmp [--bar-height TENS] [--legend]
// Draws TEXT (ASCII) as a Code 128 barcode and writes it as a 24-bit bitmap. `args` are the
// whole command line as QCoreApplication::arguments() gives it, program name first; a
// QGuiApplication must exist (the offscreen platform will do).
// Returns 0 on success; 2 for bad text or arguments, 1 when the file cannot be written, each
// with one line on `err`. The file is only replaced once the drawing has succeeded.
int RunBarcodeCommand(const QStringList& args, QTextStream& err);
