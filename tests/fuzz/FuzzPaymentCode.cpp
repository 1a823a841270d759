// SPDX-License-Identifier: GPL-3.0-or-later
// Validation and the payment record on any entries: the checks refuse in their order, and every
// code text composed is 23 characters, begins with 5247, carries the total in its last eight
// digits and is always accepted by the encoder, whose symbol reads back as the text.
#include <algorithm>
#include <optional>

#include "Code128Reference.h"
#include "FuzzInput.h"
#include "barcode/Codigo.h"
#include "entry/Amounts.h"
#include "entry/LeadingNumber.h"
#include "paycode/PaymentRecord.h"
#include "paycode/Validation.h"

namespace {

using entry::LeadingNumberText;
using entry::TrimBlanks;

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Digits only, at most `limit` of them: what a digit box of that length can hold.
bool FitsBox(const QString& text, qsizetype limit) {
    return text.size() <= limit && std::all_of(text.begin(), text.end(), IsDigit);
}

std::optional<paycode::Refusal> ExpectedRefusal(const paycode::ValidationInput& input) {
    if (TrimBlanks(input.cuit).size() != 11) {
        return paycode::Refusal::Cuit;
    }
    if (LeadingNumberText(input.payroll) == u"0") {
        return paycode::Refusal::Payroll;
    }
    if (LeadingNumberText(input.month) == u"0") {
        return paycode::Refusal::Month;
    }
    const QString year = LeadingNumberText(input.year);
    if (year.size() < 4 || (year.size() == 4 && year.toInt() <= 1990)) {
        return paycode::Refusal::Year;
    }
    return std::nullopt;
}

void CheckValidation(const paycode::ValidationInput& input) {
    const paycode::ValidationResult result = paycode::ValidateFields(input);
    FUZZ_CHECK(result.refusal == ExpectedRefusal(input));
    // Empty amount boxes get "00" once C.U.I.T. and payroll have passed; nothing else changes.
    const bool fills =
        result.refusal != paycode::Refusal::Cuit && result.refusal != paycode::Refusal::Payroll;
    for (std::size_t i = 0; i < input.amounts.size(); ++i) {
        const bool empty = TrimBlanks(input.amounts[i]).isEmpty();
        FUZZ_CHECK(result.amounts[i] == (fills && empty ? QStringLiteral("00") : input.amounts[i]));
    }
}

QString CheckRecord(paycode::PaymentSources sources) {
    const QString staffBefore = sources.staff;
    paycode::PaymentRecord record;
    int pauses = 0;
    paycode::FillPaymentRecord(record, sources, [&pauses] { ++pauses; });
    const QString code = paycode::ComposeCodeText(record);

    FUZZ_CHECK(code.size() == 23);
    FUZZ_CHECK(code.startsWith(u"5247"));
    FUZZ_CHECK(pauses <= 8);
    FUZZ_CHECK(sources.staff ==
               (LeadingNumberText(staffBefore) == u"0" ? QStringLiteral("0") : staffBefore));

    // The C.U.I.T.: its digits without leading zeros, then blanks.
    const QString cuit = code.mid(4, 11);
    const qsizetype digits = std::find_if_not(cuit.begin(), cuit.end(), IsDigit) - cuit.begin();
    FUZZ_CHECK(digits >= 1);
    FUZZ_CHECK(cuit.mid(digits) == QString(11 - digits, u' '));
    const QString cuitNumber = LeadingNumberText(sources.cuit);
    if (cuitNumber.size() <= 11) {
        FUZZ_CHECK(cuit.left(digits) == cuitNumber);
    }
    // The total: eight digits, its pesos and cents zero-filled when they fit.
    FUZZ_CHECK(std::all_of(code.begin() + 15, code.end(), IsDigit));
    const QString pesos = LeadingNumberText(sources.total);
    const QString cents = LeadingNumberText(sources.totalCents);
    if (pesos.size() <= 6) {
        FUZZ_CHECK(code.mid(15, 6) == QString(6 - pesos.size(), u'0') + pesos);
    }
    if (cents.size() <= 2) {
        FUZZ_CHECK(code.mid(21, 2) == QString(2 - cents.size(), u'0') + cents);
    }

    // Always encodable, and the symbol reads back as the code text.
    const std::string text = code.toStdString();
    FUZZ_CHECK(ReadSymbolValues(codigo::EncodeSymbols(text)) == text);
    return code;
}

}  // namespace

// Lines: C.U.I.T., payroll pesos, payroll cents, month, year, surcharge pesos and cents, other
// concepts pesos and cents, staff count, then a total's pesos and cents as if pasted into the
// total labels.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = Lines(data, size, 12);
    const paycode::ValidationInput input{
        lines[0],
        lines[1],
        lines[3],
        lines[4],
        {lines[5], lines[6], lines[7], lines[8], lines[1], lines[2]}};
    CheckValidation(input);

    // Any text in the total labels.
    CheckRecord({lines[0], lines[9], lines[10], lines[11]});

    // The window's own road, for entries its boxes can hold: validation passes, the amounts give
    // the total, and the code text ends in that total in cents.
    const paycode::ValidationResult validated = paycode::ValidateFields(input);
    const auto& amounts = validated.amounts;
    if (validated.refusal || !FitsBox(lines[0], 11) || !FitsBox(amounts[0], 4) ||
        !FitsBox(amounts[1], 2) || !FitsBox(amounts[2], 4) || !FitsBox(amounts[3], 2) ||
        !FitsBox(amounts[4], 6) || !FitsBox(amounts[5], 2)) {
        return 0;
    }
    const entry::Amount contribution =
        entry::ComputeContribution(amounts[4], entry::PadZeros(amounts[5], 2));
    const entry::Amount total =
        entry::ComputeTotal(contribution, {amounts[0], entry::PadZeros(amounts[1], 2)},
                            {amounts[2], entry::PadZeros(amounts[3], 2)});
    const QString code = CheckRecord({lines[0], lines[9], total.pesos, total.cents});
    FUZZ_CHECK(code.right(8).toLongLong() ==
               total.pesos.toLongLong() * 100 + total.cents.toLongLong());
    return 0;
}
