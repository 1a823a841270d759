// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Start-up shared by both front ends, the window and the command line.
namespace platform {

// Installs Qt's own Spanish texts (dialog buttons, the option parser's
// messages) for the life of the program. Needs the application object.
void InstallSpanishQtTranslation();

// Why the window cannot open here (no display to show it on), in one Spanish
// line; empty when it can. Decided before Qt is started, since Qt aborts
// without a display.
QString MissingDisplay();

// The same for a display that is named but does not answer (no server
// there, or no permission to use it), once Qt has failed to reach it.
QString UnreachableDisplay();

}  // namespace platform
