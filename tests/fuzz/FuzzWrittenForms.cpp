// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's written forms on any text: an amount ("100.000,50") and a C.U.I.T.
// ("20-12345678-6"). What reads as an amount is digits and two cents digits, and reads the
// same in every form it can be written in; a C.U.I.T. in its written form gives its 11 digits,
// and its check digit is judged by the mod-11 rule.
#include <algorithm>

#include "FuzzInput.h"
#include "entry/WrittenAmount.h"
#include "paycode/CuitCheck.h"

namespace {

using entry::WrittenAmount;

bool Digits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// `pesos` with a point between every group of three digits, from the right.
QString Grouped(const QString& pesos) {
    QString grouped = pesos;
    for (qsizetype at = grouped.size() - 3; at > 0; at -= 3) {
        grouped.insert(at, u'.');
    }
    return grouped;
}

bool SameAmount(const WrittenAmount& read, const entry::Amount& amount) {
    return read.reading == WrittenAmount::Reading::Amount && read.amount == amount;
}

void CheckAmount(const QString& text) {
    const WrittenAmount read = entry::ReadWrittenAmount(text);
    if (read.reading != WrittenAmount::Reading::Amount) {
        FUZZ_CHECK(read.amount == entry::Amount{});
        if (read.reading == WrittenAmount::Reading::Ambiguous) {
            // Only one point or comma followed by exactly three digits cannot tell.
            const qsizetype mark = std::max(text.lastIndexOf(u'.'), text.lastIndexOf(u','));
            FUZZ_CHECK(mark >= 1 && mark == text.size() - 4);
            FUZZ_CHECK(Digits(text.left(mark)) && Digits(text.mid(mark + 1)));
        }
        return;
    }
    const entry::Amount& amount = read.amount;
    FUZZ_CHECK(Digits(amount.pesos));
    FUZZ_CHECK(amount.cents.isEmpty() || (amount.cents.size() == 2 && Digits(amount.cents)));
    // Nothing but digits and the marks is dropped.
    QString kept = text;
    kept.remove(u'.').remove(u',');
    FUZZ_CHECK(kept.size() == amount.pesos.size() + amount.cents.size() ||
               (kept.size() + 1 == amount.pesos.size() + amount.cents.size() &&
                amount.cents.endsWith(u'0')));

    // The same amount in every form it can be written in.
    const QString cents = amount.cents;
    if (cents.isEmpty()) {
        FUZZ_CHECK(SameAmount(entry::ReadWrittenAmount(amount.pesos), amount));
        return;
    }
    FUZZ_CHECK(SameAmount(entry::ReadWrittenAmount(amount.pesos + u',' + cents), amount));
    FUZZ_CHECK(SameAmount(entry::ReadWrittenAmount(amount.pesos + u'.' + cents), amount));
    if (amount.pesos.size() > 3 && amount.pesos[0] != u'0') {
        FUZZ_CHECK(
            SameAmount(entry::ReadWrittenAmount(Grouped(amount.pesos) + u',' + cents), amount));
    }
}

// ISO 7064-like mod-11 rule of the C.U.I.T.: weights 5 4 3 2 7 6 5 4 3 2; 11 gives 0, 10 none.
int CheckDigit(const QString& digits) {
    static constexpr int kWeights[] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        sum += (digits[i].unicode() - u'0') * kWeights[i];
    }
    return (11 - sum % 11) % 11;  // 10 stands for none
}

void CheckCuit(const QString& text) {
    const QString digits = paycode::CuitFromWrittenForm(text);
    // The written form gives its 11 digits; anything else comes back as it was.
    const bool written = text.size() == 13 && text[2] == u'-' && text[11] == u'-' &&
                         Digits(text.left(2)) && Digits(text.mid(3, 8)) && Digits(text.mid(12));
    FUZZ_CHECK(digits == (written ? text.left(2) + text.mid(3, 8) + text.mid(12) : text));

    const QString problem = paycode::CuitCheckProblem(text);
    QString trimmed = text;
    while (trimmed.startsWith(u' ')) {
        trimmed.remove(0, 1);
    }
    while (trimmed.endsWith(u' ')) {
        trimmed.chop(1);
    }
    if (trimmed.size() != 11 || !Digits(trimmed)) {
        FUZZ_CHECK(problem.isEmpty());
        return;
    }
    const int expected = CheckDigit(trimmed);
    FUZZ_CHECK(problem.isEmpty() == (expected != 10 && trimmed[10].unicode() - u'0' == expected));
}

}  // namespace

// The whole input is one text, line breaks and all: a command-line value may hold them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckAmount(text);
    CheckCuit(text);
    return 0;
}
