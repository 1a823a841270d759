// SPDX-License-Identifier: GPL-3.0-or-later
#include "paycode/CuitCheck.h"

#include <QRegularExpression>
#include <array>

#include "entry/LeadingNumber.h"

namespace paycode {

std::optional<int> CuitCheckDigit(QStringView firstTen) {
    static constexpr std::array kWeights{5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int sum = 0;
    for (std::size_t i = 0; i < kWeights.size(); ++i) {
        sum += firstTen[qsizetype(i)].digitValue() * kWeights[i];
    }
    const int digit = 11 - sum % 11;
    if (digit == 11) {
        return 0;
    }
    if (digit == 10) {
        return std::nullopt;
    }
    return digit;
}

QString CuitCheckProblem(const QString& cuit) {
    // Anchored with \z: "$" would also take a text that ends in a line break.
    static const QRegularExpression kElevenDigits(QStringLiteral("^[0-9]{11}\\z"));
    const QString digits = entry::TrimBlanks(cuit);
    if (!kElevenDigits.match(digits).hasMatch()) {
        return {};
    }
    const std::optional<int> expected = CuitCheckDigit(QStringView(digits).left(10));
    if (!expected) {
        return QStringLiteral(
                   "El C.U.I.T. no es válido: ninguno empieza con %1, porque su dígito "
                   "verificador daría 10")
            .arg(digits.left(10));
    }
    if (digits.back().digitValue() != *expected) {
        return QStringLiteral(
                   "El dígito verificador del C.U.I.T. no es correcto: es %1 y debería ser %2")
            .arg(digits.back())
            .arg(*expected);
    }
    return {};
}

QString CuitFromWrittenForm(const QString& text) {
    // \z as above.
    static const QRegularExpression kWritten(QStringLiteral("^([0-9]{2})-([0-9]{8})-([0-9])\\z"));
    const QRegularExpressionMatch match = kWritten.match(text);
    return match.hasMatch() ? match.captured(1) + match.captured(2) + match.captured(3) : text;
}

QString AcceptedCuitForms() {
    return QStringLiteral("11 dígitos, «20123456786», o «20-12345678-6»");
}

QString CuitWrittenForm(const QString& digits) {
    // \z as above.
    static const QRegularExpression kElevenDigits(QStringLiteral("^[0-9]{11}\\z"));
    if (!kElevenDigits.match(digits).hasMatch()) {
        return digits;
    }
    return QStringLiteral("%1-%2-%3").arg(digits.left(2), digits.mid(2, 8), digits.right(1));
}

}  // namespace paycode
