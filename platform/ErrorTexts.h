// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Why something failed, in Spanish, in lower case so that it can follow a
// sentence's opening ("No se puede escribir (permiso denegado)"). The system
// and CUPS give their reasons in English; the user reads only Spanish.

// An IPP status of a refused print request, as cupsLastError() gives it;
// `message` is CUPS's own text for it, from which only the quoted printer
// name is taken.
QString CupsRefusalText(int status, const QString& message);

// A system error number (errno).
QString SystemErrorText(int error);

}  // namespace platform
