// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "platform/Platform.h"

namespace app {

// The copies (1 for the bank, 2 for the depositor) of a voucher's pages that
// the choice asks for, in order.
std::vector<int> ChosenCopies(const platform::PrintChoice& choice, std::size_t pages);

// Sends each chosen copy of a voucher as its own job on the chosen printer,
// named as IMPRIMIR names its jobs (PrintJobName, from the voucher's
// C.U.I.T., month and year as typed). The jobs handed over go to `jobs`;
// returns the reasons of the copies that were not ("Copia 2: ..."). With
// `stopAtFailure` the copies after a failed one are not sent either, so that
// what comes out of the printer is never out of order.
QStringList PrintVoucherCopies(platform::Platform& platform,
                               const std::vector<platform::Page>& pages, const QString& cuit,
                               const QString& month, const QString& year,
                               const platform::PrintChoice& choice,
                               std::vector<platform::PrintedJob>& jobs, bool stopAtFailure = false);

}  // namespace app
