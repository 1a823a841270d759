// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/KeyFilters.h"

#include <QLocale>

#include "entry/LeadingNumber.h"

namespace entry {

int FilterDigits(int key) {
    if ((key >= '0' && key <= '9') || key == kBackspace) {
        return key;
    }
    return kDiscard;
}

int CapitalizeFirst(const QString& current, int key) {
    if (!current.isEmpty() || key <= 0 || key > 0xFFFF) {
        return key;
    }
    const QString upper = QLocale().toUpper(QString(QChar(char16_t(key))));
    // A capital that is not a single character (ß gives SS) cannot replace one key.
    return upper.size() == 1 ? upper[0].unicode() : key;
}

int FilterMonth(const QString& current, int key) {
    if (key <= 0 || key > 0xFFFF) {
        return kDiscard;
    }
    if (LeadingNumber(current + QChar(char16_t(key))) > 12) {
        return kDiscard;
    }
    return FilterDigits(key);
}

}  // namespace entry
