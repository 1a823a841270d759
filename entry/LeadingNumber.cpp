// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/LeadingNumber.h"

namespace entry {

namespace {
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}
}  // namespace

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ') {
        ++first;
    }
    while (last > first && text[last - 1] == u' ') {
        --last;
    }
    return text.mid(first, last - first);
}

QString LeadingDigits(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ') {
        ++start;
    }
    qsizetype end = start;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return text.mid(start, end - start);
}

double LeadingNumber(const QString& text) {
    double value = 0;
    for (QChar c : LeadingDigits(text)) {
        value = value * 10 + (c.unicode() - u'0');
        if (value >= kLeadingNumberLimit) {
            return kLeadingNumberLimit;
        }
    }
    return value;
}

QString LeadingNumberText(const QString& text) {
    QString digits = LeadingDigits(text);
    qsizetype zeros = 0;
    while (zeros < digits.size() - 1 && digits[zeros] == u'0') {
        ++zeros;
    }
    return digits.isEmpty() ? QStringLiteral("0") : digits.mid(zeros);
}

}  // namespace entry
