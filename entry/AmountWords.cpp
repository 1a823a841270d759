// SPDX-License-Identifier: GPL-3.0-or-later
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
// "veintiún" before "mil" and "millón" as Spanish does. Null when ICU lacks
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

// The rules also shorten the number's last word, as if a noun followed it;
// after "Son Pesos" nothing does, so it stands alone: "Uno", "Veintiuno",
// "Mil uno", "Treinta y uno".
QString StandingAlone(QString words) {
    const qsizetype start = words.lastIndexOf(u' ') + 1;
    const QStringView last = QStringView(words).mid(start);
    if (last.compare(u"un", Qt::CaseInsensitive) == 0) {
        words += u'o';
    } else if (last.compare(u"veintiún", Qt::CaseInsensitive) == 0) {
        words.replace(words.size() - 2, 2, QStringLiteral("uno"));
    }
    return words;
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
    const QString text = StandingAlone(FromIcu(words).remove(QChar(0x00AD)));
    return QStringLiteral("%1 con %2/100").arg(text, TwoDigits(cents.toInt()));
}

std::optional<Amount> AmountFromWords(const QString& words) {
    // What people write around the amount: "Son pesos" before it, "pesos"
    // after it and a closing ".-" ("Tres mil con 00/100 pesos.-").
    static const QRegularExpression kLead(QStringLiteral("^son(?:\\s+pesos?)?\\b\\s*:?\\s*"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kTail(QStringLiteral("(?:\\s*(?:\\.-|[.-])|\\s*\\bpesos?)+\\z"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kParts(
        QStringLiteral("^(.*?)\\s*(?:(?:\\bcon\\s+)?([0-9]{1,2})\\s*/\\s*100)?\\z"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression kPesosWord(QStringLiteral("\\s*\\bpesos?\\z"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QString plain = words.simplified().remove(kLead).remove(kTail);
    const QRegularExpressionMatch parts = kParts.match(plain);
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
    if (!read) {
        // Words that cannot be checked are no proof of the amount either.
        return QStringLiteral(
                   "«Son Pesos»: no se puede leer el importe en letras; el total es %1,%2, en "
                   "letras: «%3»")
            .arg(total.pesos, total.cents, totalWords);
    }
    if (*read == total) {
        return {};
    }
    return QStringLiteral("«Son Pesos» dice %1,%2 pero el total es %3,%4; en letras: «%5»")
        .arg(read->pesos, read->cents, total.pesos, total.cents, totalWords);
}

}  // namespace entry
