// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PrintJobName.h"

#include "entry/Amounts.h"
#include "entry/LeadingNumber.h"
#include "paycode/CuitCheck.h"

namespace app {

QString PrintJobName(const QString& cuit, const QString& month, const QString& year, int copy) {
    // Digits only, as in the proposed PDF name: pasted text never reaches the queue.
    return QStringLiteral("Talonario %1 %2/%3 copia %4 (%5)")
        .arg(paycode::CuitWrittenForm(entry::LeadingDigits(cuit)),
             entry::PadZeros(entry::LeadingDigits(month), 2), entry::LeadingDigits(year))
        .arg(copy)
        .arg(copy == 1 ? QStringLiteral("banco") : QStringLiteral("depositante"));
}

}  // namespace app
