// SPDX-License-Identifier: GPL-3.0-or-later
// The keystroke rules on any box text and any key code, and on any run of keys typed into an
// empty month box.
#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzInput.h"
#include "entry/KeyFilters.h"
#include "entry/LeadingNumber.h"

namespace {

bool IsDigitKey(int key) {
    return key >= '0' && key <= '9';
}

void CheckFilterDigits(int key) {
    const int result = entry::FilterDigits(key);
    FUZZ_CHECK(result == ((IsDigitKey(key) || key == entry::kBackspace) ? key : entry::kDiscard));
}

void CheckCapitalizeFirst(const QString& current, int key) {
    const int result = entry::CapitalizeFirst(current, key);
    // Never discards, and only the first key into an empty box may change.
    FUZZ_CHECK(key == 0 || result != entry::kDiscard);
    if (!current.isEmpty() || key <= 0 || key > 0xFFFF) {
        FUZZ_CHECK(result == key);
        return;
    }
    FUZZ_CHECK(result > 0 && result <= 0xFFFF);
    if (result != key) {
        // A changed key is the character's capital by Unicode's own mapping, and a capital
        // stays as it is.
        FUZZ_CHECK(result == int(QChar::toUpper(char32_t(key))));
        FUZZ_CHECK(entry::CapitalizeFirst(current, result) == result);
    }
    // Digits, signs and control keys have no capital.
    if (key < 'a' || (key > 'z' && key < 0x80)) {
        FUZZ_CHECK(result == key);
    } else if (key <= 'z') {
        FUZZ_CHECK(result == key - 'a' + 'A');
    }
}

void CheckFilterMonth(const QString& current, int key) {
    const int result = entry::FilterMonth(current, key);
    FUZZ_CHECK(result == key || result == entry::kDiscard);
    if (result != entry::kDiscard) {
        FUZZ_CHECK(IsDigitKey(key) || key == entry::kBackspace);
        FUZZ_CHECK(entry::LeadingNumber(current + QChar(char16_t(key))) <= 12);
    } else if (IsDigitKey(key) || key == entry::kBackspace) {
        FUZZ_CHECK(entry::LeadingNumber(current + QChar(char16_t(key))) > 12);
    }
}

// Keys typed at the end of the month box, which holds two characters: whatever the keys, the
// box holds digits only and never reads above 12.
void CheckMonthBox(const std::vector<int>& keys) {
    QString box;
    for (const int key : keys) {
        const int result = entry::FilterMonth(box, key);
        if (result == entry::kBackspace) {
            box.chop(1);
        } else if (result != entry::kDiscard && box.size() < 2) {
            box.append(QChar(char16_t(result)));
        }
        for (const QChar c : box) {
            FUZZ_CHECK(c >= u'0' && c <= u'9');
        }
        FUZZ_CHECK(entry::LeadingNumber(box) <= 12);
    }
}

}  // namespace

// The key code first (any int), then the box's text as UTF-16; the same bytes also as a run of
// 16-bit key codes typed into the month box.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int key = input.ConsumeIntegral<int>();
    const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const QString current(reinterpret_cast<const QChar*>(rest.data()), qsizetype(rest.size() / 2));

    CheckFilterDigits(key);
    CheckCapitalizeFirst(current, key);
    CheckCapitalizeFirst(QString(), key);
    CheckFilterMonth(current, key);

    std::vector<int> keys;
    for (const QChar c : current) {
        keys.push_back(c.unicode());
    }
    CheckMonthBox(keys);
    return 0;
}
