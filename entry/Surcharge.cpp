// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/Surcharge.h"

#include <QRegularExpression>

#include "entry/WrittenAmount.h"

namespace entry {

namespace {

// 100 (percent) × 30 (days a month) × 10^4 (the rate's ten-thousandths).
constexpr qint64 kDenominator = 100LL * 30 * 10000;

// The base's limit: 999.999,99, the largest amount the voucher holds.
constexpr qint64 kBaseLimitCents = 99999999;

QString Quoted(const QString& text) {
    return QStringLiteral("«%1»").arg(text);
}

std::optional<QDate> CalendarDate(const QString& year, const QString& month, const QString& day) {
    const QDate date(year.toInt(), month.toInt(), day.toInt());
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}

}  // namespace

DateReading ReadSurchargeDate(const QString& text) {
    // Anchored with \z: "$" would also take a text that ends in a line break.
    static const QRegularExpression kIso(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})\\z"));
    static const QRegularExpression kArgentine(
        QStringLiteral("^([0-9]{1,2})/([0-9]{1,2})/([0-9]{4})\\z"));
    const QString trimmed = text.trimmed();
    std::optional<QDate> date;
    if (const auto iso = kIso.match(trimmed); iso.hasMatch()) {
        date = CalendarDate(iso.captured(1), iso.captured(2), iso.captured(3));
    } else if (const auto written = kArgentine.match(trimmed); written.hasMatch()) {
        date = CalendarDate(written.captured(3), written.captured(2), written.captured(1));
    } else {
        return {std::nullopt,
                trimmed.isEmpty()
                    ? QStringLiteral("falta la fecha (AAAA-MM-DD o DD/MM/AAAA)")
                    : QStringLiteral("fecha no válida %1: escriba AAAA-MM-DD o DD/MM/AAAA")
                          .arg(Quoted(text))};
    }
    if (!date) {
        return {std::nullopt,
                QStringLiteral("%1 no es una fecha del calendario").arg(Quoted(trimmed))};
    }
    return {date, {}};
}

NumberReading ReadMonthlyRate(const QString& text) {
    static const QRegularExpression kRate(
        QStringLiteral("^([0-9]{1,3})(?:[,.]([0-9]{1,4}))?(?: *%)?\\z"));
    const QString trimmed = text.trimmed();
    const auto match = kRate.match(trimmed);
    if (!match.hasMatch()) {
        return {std::nullopt,
                trimmed.isEmpty()
                    ? QStringLiteral("falta la tasa mensual en por ciento")
                    : QStringLiteral("tasa no válida %1. Formas aceptadas: «3», «3,5», «3.5» o "
                                     "«3,5 %» (hasta 999 con cuatro decimales)")
                          .arg(Quoted(text))};
    }
    const qint64 whole = match.captured(1).toLongLong();
    const qint64 decimals = match.captured(2).leftJustified(4, u'0').toLongLong();
    return {whole * 10000 + decimals, {}};
}

NumberReading ReadSurchargeBase(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return {std::nullopt, QStringLiteral("falta la base (la contribución)")};
    }
    const WrittenAmount written = ReadWrittenAmount(trimmed);
    if (written.reading != WrittenAmount::Reading::Amount) {
        return {std::nullopt, WrittenAmountRefusal(trimmed, written.reading)};
    }
    // Zeros in front say nothing, and a run of them must not overflow.
    QString pesos = written.amount.pesos;
    while (pesos.size() > 1 && pesos.front() == u'0') {
        pesos.remove(0, 1);
    }
    const qint64 cents = pesos.size() > 6
                             ? kBaseLimitCents + 1
                             : pesos.toLongLong() * 100 + written.amount.cents.toLongLong();
    if (cents > kBaseLimitCents) {
        return {std::nullopt, QStringLiteral("%1 supera el máximo de %2")
                                  .arg(Quoted(trimmed), FormatCents(kBaseLimitCents))};
    }
    return {cents, {}};
}

Surcharge ComputeSurcharge(const SurchargeTerms& terms) {
    Surcharge surcharge;
    const qint64 late = terms.due.daysTo(terms.paid);
    surcharge.days = late > 0 ? late : 0;
    if (late <= 0) {
        surcharge.remark =
            QStringLiteral("sin atraso: el pago del %1 no es posterior al vencimiento del %2")
                .arg(terms.paid.toString(QStringLiteral("dd/MM/yyyy")),
                     terms.due.toString(QStringLiteral("dd/MM/yyyy")));
    }
    // Numerator in cents × ten-thousandths × days; a product past 64 bits is
    // far past the limit (which needs only about 3 × 10^13).
    qint64 numerator = 0;
    const bool overflow = __builtin_mul_overflow(terms.baseCents, terms.rate, &numerator) ||
                          __builtin_mul_overflow(numerator, surcharge.days, &numerator) ||
                          __builtin_add_overflow(numerator, kDenominator / 2, &numerator);
    QString result;
    if (overflow) {
        surcharge.overLimit = true;
        result = QStringLiteral("más de ") + FormatCents(kSurchargeLimitCents);
        surcharge.refusal =
            QStringLiteral("el recargo supera el máximo de ") + FormatCents(kSurchargeLimitCents);
    } else {
        // Half a denominator added before the division: a half cent goes up.
        surcharge.cents = numerator / kDenominator;
        surcharge.overLimit = surcharge.cents > kSurchargeLimitCents;
        result = FormatCents(surcharge.cents);
        if (surcharge.overLimit) {
            surcharge.refusal = QStringLiteral("el recargo de %1 supera el máximo de %2")
                                    .arg(result, FormatCents(kSurchargeLimitCents));
        } else {
            surcharge.amount = {QString::number(surcharge.cents / 100),
                                QString::number(surcharge.cents % 100).rightJustified(2, u'0')};
        }
    }
    surcharge.formula = QStringLiteral("%1 × %2 ÷ 100 × %3 ÷ 30 = %4")
                            .arg(FormatCents(terms.baseCents), FormatRate(terms.rate))
                            .arg(surcharge.days)
                            .arg(result);
    return surcharge;
}

QString FormatCents(qint64 cents) {
    QString pesos = QString::number(cents / 100);
    for (qsizetype at = pesos.size() - 3; at > 0; at -= 3) {
        pesos.insert(at, u'.');
    }
    return pesos + u',' + QString::number(cents % 100).rightJustified(2, u'0');
}

QString FormatRate(qint64 rate) {
    QString decimals = QString::number(rate % 10000).rightJustified(4, u'0');
    while (decimals.endsWith(u'0')) {
        decimals.chop(1);
    }
    const QString whole = QString::number(rate / 10000);
    return decimals.isEmpty() ? whole : whole + u',' + decimals;
}

}  // namespace entry
