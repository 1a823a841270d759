// SPDX-License-Identifier: GPL-3.0-or-later
#include "paycode/PaymentRecord.h"

#include "entry/Amounts.h"
#include "entry/LeadingNumber.h"

namespace paycode {

using entry::LeadingNumber;
using entry::LeadingNumberText;
using entry::TrimBlanks;

void FillPaymentRecord(PaymentRecord& record, PaymentSources& sources,
                       const std::function<void()>& processEvents) {
    record.prefix.Store(QStringLiteral("5247"));
    // Number form: a C.U.I.T. typed with leading zeros loses them and the
    // field ends in blanks; the bank's reader expects exactly that.
    record.cuit.Store(LeadingNumberText(TrimBlanks(sources.cuit)));
    if (LeadingNumber(sources.staff) == 0) {
        sources.staff = QStringLiteral("0");
    }
    record.total.Store(
        entry::PadZeros(LeadingNumberText(TrimBlanks(sources.total)), 6, processEvents));
    record.totalCents.Store(
        entry::PadZeros(LeadingNumberText(TrimBlanks(sources.totalCents)), 2, processEvents));
}

QString ComposeCodeText(const PaymentRecord& record) {
    return record.prefix.Text() + record.cuit.Text() + record.total.Text() +
           record.totalCents.Text();
}

}  // namespace paycode
