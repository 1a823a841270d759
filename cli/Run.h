#pragma once

#include <QString>

namespace cli {

// The program started with arguments: parses them once, on the offscreen
// platform (no display needed), and runs the command they name. Returns the
// exit status.
int RunCommandLine(int& argc, char** argv);

// Why the window cannot open here (no display to show it on), in one Spanish
// line; empty when it can. Decided before Qt is started, since Qt aborts
// without a display.
QString MissingDisplay();

}  // namespace cli
