// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/WrittenAmount.h"

#include <QRegularExpression>

namespace entry {

WrittenAmount ReadWrittenAmount(const QString& text) {
    // Anchored with \z: "$" would also take a text that ends in a line break.
    static const QRegularExpression kWhole(QStringLiteral("^[0-9]*\\z"));
    static const QRegularExpression kDecimal(QStringLiteral("^([0-9]*)[,.]([0-9]{1,2})\\z"));
    static const QRegularExpression kOneGroup(QStringLiteral("^[0-9]{1,3}[,.][0-9]{3}\\z"));
    static const QRegularExpression kGrouped(
        QStringLiteral("^([0-9]{1,3}(?:\\.[0-9]{3})+)(?:,([0-9]{1,2}))?\\z"));
    const auto cents = [](const QString& digits) {
        return digits.size() == 1 ? digits + u'0' : digits;  // 1000,5 is fifty cents
    };
    if (kWhole.match(text).hasMatch()) {
        return {WrittenAmount::Reading::Amount, {text, {}}};
    }
    if (const auto decimal = kDecimal.match(text); decimal.hasMatch()) {
        return {WrittenAmount::Reading::Amount, {decimal.captured(1), cents(decimal.captured(2))}};
    }
    if (kOneGroup.match(text).hasMatch()) {
        return {WrittenAmount::Reading::Ambiguous, {}};
    }
    if (const auto grouped = kGrouped.match(text); grouped.hasMatch()) {
        return {WrittenAmount::Reading::Amount,
                {grouped.captured(1).remove(u'.'), cents(grouped.captured(2))}};
    }
    return {WrittenAmount::Reading::Invalid, {}};
}

QString AcceptedAmountForms() {
    return QStringLiteral("«1000», «1000,50», «1000.50» o «1.000,50»");
}

WrittenAmount ReadSpreadsheetAmount(const QString& cell, bool decimalCommaKnown) {
    // Anchored with \z: "$" would also take a text that ends in a line break.
    static const QRegularExpression kThousands(QStringLiteral("^[0-9]{1,3}(?:\\.[0-9]{3})+\\z"));
    QString text = cell.trimmed();
    if (text.startsWith(u'$')) {
        text = text.mid(1).trimmed();
        if (text.isEmpty()) {
            return {WrittenAmount::Reading::Invalid, {}};
        }
    }
    // With the comma as the decimal mark, a point can only group thousands.
    if (decimalCommaKnown && kThousands.match(text).hasMatch()) {
        return {WrittenAmount::Reading::Amount, {text.remove(u'.'), {}}};
    }
    return ReadWrittenAmount(text);
}

QString WrittenAmountRefusal(const QString& value, WrittenAmount::Reading reading) {
    const QString why =
        reading == WrittenAmount::Reading::Ambiguous
            ? QStringLiteral("«%1» es ambiguo: puede leerse como miles o como decimales.")
            : QStringLiteral("importe no válido «%1».");
    return QStringLiteral("%1 Formas aceptadas: %2").arg(why.arg(value), AcceptedAmountForms());
}

}  // namespace entry
