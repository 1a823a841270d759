// SPDX-License-Identifier: GPL-3.0-or-later
// The leading-number rule, trimming and the zero fill on any text.
#include <algorithm>
#include <cmath>

#include "FuzzInput.h"
#include "entry/Amounts.h"
#include "entry/LeadingNumber.h"

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool AllDigits(const QString& text) {
    for (QChar c : text) {
        if (!IsAsciiDigit(c)) {
            return false;
        }
    }
    return true;
}

qsizetype LeadingZeros(const QString& digits) {
    qsizetype n = 0;
    while (n < digits.size() && digits[n] == u'0') {
        ++n;
    }
    return n;
}

qsizetype LeadingBlanks(const QString& text) {
    qsizetype n = 0;
    while (n < text.size() && text[n] == u' ') {
        ++n;
    }
    return n;
}

void CheckTrimBlanks(const QString& text) {
    const QString trimmed = entry::TrimBlanks(text);
    // Only blanks at the ends go; the rest is kept as it was.
    FUZZ_CHECK(!trimmed.startsWith(u' ') && !trimmed.endsWith(u' '));
    const qsizetype front = LeadingBlanks(text);
    FUZZ_CHECK(text.mid(front, trimmed.size()) == trimmed);
    for (qsizetype i = front + trimmed.size(); i < text.size(); ++i) {
        FUZZ_CHECK(text[i] == u' ');
    }
    FUZZ_CHECK(entry::TrimBlanks(trimmed) == trimmed);
}

void CheckLeadingDigits(const QString& text) {
    const QString digits = entry::LeadingDigits(text);
    const qsizetype front = LeadingBlanks(text);
    // The longest run of ASCII digits right after the leading blanks.
    FUZZ_CHECK(AllDigits(digits));
    FUZZ_CHECK(text.mid(front, digits.size()) == digits);
    const qsizetype after = front + digits.size();
    FUZZ_CHECK(after == text.size() || !IsAsciiDigit(text[after]));

    const QString number = entry::LeadingNumberText(text);
    FUZZ_CHECK(!number.isEmpty() && AllDigits(number));
    // The same run without its leading zeros; "0" when nothing else is left.
    const qsizetype zeros = LeadingZeros(digits);
    FUZZ_CHECK(number == (zeros == digits.size() ? QStringLiteral("0") : digits.mid(zeros)));
}

void CheckLeadingNumber(const QString& text) {
    const QString digits = entry::LeadingNumberText(text);
    const double value = entry::LeadingNumber(text);
    // Saturates, never overflows: any run of digits reads as a finite, non-negative value.
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(value >= 0);
    FUZZ_CHECK((value == 0) == (digits == u"0"));
    // Up to 15 significant digits every value is exact; a longer run never reads as less
    // than its first 15 digits, however it saturates.
    if (digits.size() <= 15) {
        FUZZ_CHECK(value == digits.toDouble());
    } else {
        FUZZ_CHECK(value >= digits.left(15).toDouble());
    }
}

void CheckPadZeros(const QString& text, std::uint8_t width) {
    int pauses = 0;
    const QString padded = entry::PadZeros(text, width, [&pauses] { ++pauses; });
    const QString trimmed = entry::TrimBlanks(text);
    // Zeros in front up to the width, one pause before each; nothing is ever cut.
    const qsizetype zeros = std::max<qsizetype>(0, width - trimmed.size());
    FUZZ_CHECK(padded == QString(zeros, u'0') + trimmed);
    FUZZ_CHECK(pauses == zeros);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t width = size > 0 ? data[0] % 16 : 0;
    const QStringList lines = Lines(data, size, 1);
    for (const QString& text : lines) {
        CheckTrimBlanks(text);
        CheckLeadingDigits(text);
        CheckLeadingNumber(text);
        CheckPadZeros(text, width);
    }
    return 0;
}
