// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cli {

// The program started with arguments: parses them once, on the offscreen
// platform (no display needed), and runs the command they name. Returns the
// exit status.
int RunCommandLine(int& argc, char** argv);

}  // namespace cli
