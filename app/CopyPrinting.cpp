// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CopyPrinting.h"

#include "app/PrintJobName.h"

namespace app {

std::vector<int> ChosenCopies(const platform::PrintChoice& choice, std::size_t pages) {
    const int count = static_cast<int>(pages);
    int first = 1;
    int last = count;
    if (choice.firstPage > 0 || choice.lastPage > 0) {
        first = std::max(1, choice.firstPage);
        last = choice.lastPage > 0 ? std::min(count, choice.lastPage) : count;
    }
    std::vector<int> copies;
    for (int copy = first; copy <= last; ++copy) {
        copies.push_back(copy);
    }
    return copies;
}

QStringList PrintVoucherCopies(platform::Platform& platform,
                               const std::vector<platform::Page>& pages, const QString& cuit,
                               const QString& month, const QString& year,
                               const platform::PrintChoice& choice,
                               std::vector<platform::PrintedJob>& jobs, bool stopAtFailure) {
    QStringList failures;
    for (const int copy : ChosenCopies(choice, pages.size())) {
        if (stopAtFailure && !failures.isEmpty()) {
            failures
                << QStringLiteral("Copia %1: no se envió, la anterior no se imprimió").arg(copy);
            continue;
        }
        try {
            jobs.push_back(platform.PrintChosen(pages[std::size_t(copy - 1)],
                                                PrintJobName(cuit, month, year, copy), choice));
        } catch (const std::exception& error) {
            failures
                << QStringLiteral("Copia %1: %2").arg(copy).arg(QString::fromUtf8(error.what()));
        }
    }
    return failures;
}

}  // namespace app
