// SPDX-License-Identifier: GPL-3.0-or-later
// The amount in words on any text typed into "Son Pesos", and on any total: words that read as
// an amount give it in the total labels' form; the words written for a total read back as that
// total, in any case, and their number stands alone ("uno", never "un" at its end); a total's
// own words never raise a problem, and words in a box that read as no amount always do.
#include <algorithm>

#include "FuzzInput.h"
#include "entry/AmountWords.h"

namespace {

bool Digits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

void CheckRead(const QString& words) {
    const std::optional<entry::Amount> read = entry::AmountFromWords(words);
    if (!read) {
        return;
    }
    FUZZ_CHECK(!read->pesos.isEmpty() && Digits(read->pesos));
    FUZZ_CHECK(read->pesos == u"0" || read->pesos[0] != u'0');
    FUZZ_CHECK(read->cents.size() == 2 && Digits(read->cents));
}

// A total as the labels hold it: up to 15 digits of pesos, up to two of cents.
void CheckRoundTrip(const QString& pesos, const QString& cents) {
    const QString words = entry::AmountInWords(pesos, cents);
    const bool amount = !pesos.isEmpty() && pesos.size() <= 15 && Digits(pesos) &&
                        cents.size() <= 2 && Digits(cents);
    FUZZ_CHECK(words.isEmpty() == !amount);
    if (!amount) {
        return;
    }
    const entry::Amount total{QString::number(pesos.toLongLong()),
                              QString(2 - cents.size(), u'0') + cents};
    FUZZ_CHECK(words.front().isUpper());
    const QString number = words.section(QStringLiteral(" con "), 0, 0);
    FUZZ_CHECK(!number.endsWith(QStringLiteral("ún")) && number.section(u' ', -1) != u"un" &&
               number != u"Un");
    FUZZ_CHECK(entry::AmountFromWords(words) == total);
    FUZZ_CHECK(entry::AmountFromWords(words.toUpper()) == total);
    FUZZ_CHECK(entry::AmountFromWords(words.toLower()) == total);
    FUZZ_CHECK(entry::AmountWordsProblem(words, pesos, cents).isEmpty());
}

}  // namespace

// Lines: the words, then a total's pesos and cents.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = Lines(data, size, 3);
    CheckRead(lines[0]);
    CheckRoundTrip(lines[1], lines[2]);
    // A problem is reported only against a real total, for words that read as another amount
    // or as none; and words in the box that read as none always raise one.
    const QString problem = entry::AmountWordsProblem(lines[0], lines[1], lines[2]);
    const bool total = !entry::AmountInWords(lines[1], lines[2]).isEmpty();
    const std::optional<entry::Amount> read = entry::AmountFromWords(lines[0]);
    if (!problem.isEmpty()) {
        FUZZ_CHECK(total);
    }
    if (total && !read && !lines[0].trimmed().isEmpty()) {
        FUZZ_CHECK(!problem.isEmpty());
    }
    return 0;
}
