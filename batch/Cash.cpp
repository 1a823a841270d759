// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/Cash.h"

namespace batch {

const QStringList& CashYes() {
    static const QStringList yes{QStringLiteral("si"),       QStringLiteral("sí"),
                                 QStringLiteral("s"),        QStringLiteral("x"),
                                 QStringLiteral("1"),        QStringLiteral("true"),
                                 QStringLiteral("verdadero")};
    return yes;
}

const QStringList& CashNo() {
    static const QStringList no{
        QString(),           QStringLiteral("no"),    QStringLiteral("n"),
        QStringLiteral("0"), QStringLiteral("false"), QStringLiteral("falso")};
    return no;
}

std::optional<bool> ReadCash(const QString& cell) {
    const QString value = cell.trimmed().toLower();
    if (CashYes().contains(value)) {
        return true;
    }
    if (CashNo().contains(value)) {
        return false;
    }
    return std::nullopt;
}

}  // namespace batch
