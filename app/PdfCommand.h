#pragma once

#include <QStringList>
#include <QTextStream>

namespace app {

// `talonario --pdf FILE [options]`: fills the voucher off screen from the
// options and writes it as a two-page PDF. Returns the exit status.
int RunPdfCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace app
