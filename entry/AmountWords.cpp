#include "entry/AmountWords.h"

#include <unicode/fmtable.h>
#include <unicode/parsepos.h>
#include <unicode/rbnf.h>
#include <unicode/udisplaycontext.h>
#include <unicode/unistr.h>

#include <QRegularExpression>
#include <cmath>
#include <memory>

namespace entry {

namespace {

icu::UnicodeString ToIcu(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
}

QString FromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

// Spanish spell-out with the masculine cardinal rules, which say "un" and
// "veintiún" before the noun (pesos) as Spanish does. Null when ICU lacks
// the rules; callers then offer no words rather than wrong ones.
std::unique_ptr<icu::RuleBasedNumberFormat> MakeSpellOut(bool lenient) {
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::RuleBasedNumberFormat>(icu::URBNF_SPELLOUT,
                                                               icu::Locale("es"), status);
    format->setDefaultRuleSet(icu::UnicodeString(u"%spellout-cardinal-masculine"), status);
    format->setContext(UDISPCTX_CAPITALIZATION_FOR_BEGINNING_OF_SENTENCE, status);
    format->setLenient(lenient);
    if (U_FAILURE(status)) {
        return nullptr;
    }
    return format;
}

// Building the rules takes milliseconds, more than a whole voucher may take
// in a batch, so each thread builds them once.
const icu::RuleBasedNumberFormat* SpellOut() {
    thread_local const auto format = MakeSpellOut(false);
    return format.get();
}

icu::RuleBasedNumberFormat* LenientSpellOut() {
    thread_local const auto format = MakeSpellOut(true);
    return format.get();
}

QString TwoDigits(int cents) {
    return QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString AmountInWords(const QString& pesos, const QString& cents) {
    // Anchored with \z: "$" would also take a text that ends in a line break.
    static const QRegularExpression kDigits(QStringLiteral("^[0-9]{1,15}\\z"));
    static const QRegularExpression kCents(QStringLiteral("^[0-9]{0,2}\\z"));
    if (!kDigits.match(pesos).hasMatch() || !kCents.match(cents).hasMatch()) {
        return {};
    }
    const icu::RuleBasedNumberFormat* format = SpellOut();
    if (!format) {
        return {};
    }
    icu::UnicodeString words;
    format->format(static_cast<int64_t>(pesos.toLongLong()), words);
    // The rules mark hyphenation points ("seis\u00ADcientos"); the voucher
    // wants the plain word, which also has to match what a person types.
    QString text = FromIcu(words).remove(QChar(0x00AD));
    return QStringLiteral("%1 con %2/100").arg(text, TwoDigits(cents.toInt()));
}

std::optional<Amount> AmountFromWords(const QString& words) {
    static const QRegularExpression kParts(
        QStringLiteral("^(.*?)\\s*(?:(?:\\bcon\\s+)?([0-9]{1,2})\\s*/\\s*100)?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kPesosWord(QStringLiteral("\\s*\\bpesos?$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch parts = kParts.match(words.simplified());
    if (!parts.hasMatch()) {
        return std::nullopt;
    }
    const QString number = parts.captured(1).remove(kPesosWord);
    if (number.isEmpty()) {
        return std::nullopt;
    }
    icu::RuleBasedNumberFormat* format = LenientSpellOut();
    if (!format) {
        return std::nullopt;
    }
    const icu::UnicodeString text = ToIcu(number);
    icu::Formattable value;
    icu::ParsePosition position(0);
    format->parse(text, value, position);
    UErrorCode status = U_ZERO_ERROR;
    const double whole = value.getDouble(status);
    // Words that read only in part ("veinte y uno" stops after "veinte") do
    // not count as an amount.
    if (position.getIndex() != text.length() || U_FAILURE(status) || whole < 0 ||
        whole != std::trunc(whole) || whole > 1e15) {
        return std::nullopt;
    }
    return Amount{QString::number(static_cast<long long>(whole)),
                  TwoDigits(parts.captured(2).toInt())};
}

QString AmountWordsProblem(const QString& words, const QString& pesos, const QString& cents) {
    if (words.trimmed().isEmpty()) {
        return {};
    }
    const QString totalWords = AmountInWords(pesos, cents);
    // The total's own words need no reading: the lenient parse builds a
    // collator, tens of milliseconds the first time.
    if (totalWords.isEmpty() || words.simplified() == totalWords) {
        return {};
    }
    const std::optional<Amount> read = AmountFromWords(words);
    const Amount total{QString::number(pesos.toLongLong()), TwoDigits(cents.toInt())};
    if (!read || *read == total) {
        return {};
    }
    return QStringLiteral("«Son Pesos» dice %1,%2 pero el total es %3,%4; en letras: «%5»")
        .arg(read->pesos, read->cents, total.pesos, total.cents, totalWords);
}

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

}  // namespace entry
