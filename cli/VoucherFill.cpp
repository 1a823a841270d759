// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/VoucherFill.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <functional>
#include <optional>

#include "app/EntryNotices.h"
#include "app/Layout.h"
#include "app/VoucherWindow.h"
#include "cli/CommandPlatform.h"
#include "cli/ExitStatus.h"
#include "cli/SurchargeFill.h"
#include "cli/VoucherOptions.h"
#include "entry/WrittenAmount.h"
#include "paycode/CuitCheck.h"
#include "platform/Files.h"

namespace cli {

namespace {

// A value for a box without a length limit is refused beyond this many
// characters: far more than the box shows, and typing stays cheap.
constexpr qsizetype kMaxTyped = 1000;

// The amount boxes in tab order, left one after the other as a person would.
constexpr std::array<const char*, 6> kLeaveOrder{"txtRemuneracion",   "txtRemuneracionDec",
                                                 "txtRecargo",        "txtRecargoDec",
                                                 "txtOtrosConceptos", "txtOtrosConceptosDec"};

void LeaveAmountBoxes(app::VoucherWindow& window) {
    for (const char* box : kLeaveOrder) {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(window.control(QString::fromUtf8(box)), &leave);
    }
}

// Types `value` into the box key by key, through the same filters as the
// keyboard; a character outside the 16-bit range is one key. The first key
// the box does not take is returned as an error.
std::optional<QString> Type(app::VoucherWindow& window, const char* box, const QString& value) {
    const QString name = QString::fromUtf8(box);
    QWidget* target = window.control(name);
    const auto* line = qobject_cast<QLineEdit*>(target);
    const bool limited = line != nullptr && line->maxLength() < 32767;
    if (!limited && value.size() > kMaxTyped) {
        return QStringLiteral("admite a lo sumo %1 caracteres, no %2")
            .arg(kMaxTyped)
            .arg(value.size());
    }
    for (qsizetype i = 0; i < value.size(); ++i) {
        const qsizetype width =
            value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate() ? 2
                                                                                                : 1;
        const QString character = value.mid(i, width);
        const QString before = window.text(name);
        const bool enter = character == QStringLiteral("\n");
        const auto key = enter        ? Qt::Key_Return
                         : width == 1 ? Qt::Key(character[0].toUpper().unicode())
                                      : Qt::Key_unknown;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                        enter ? QStringLiteral("\r") : character);
        QCoreApplication::sendEvent(target, &press);
        const QString after = window.text(name);
        if (after.size() == before.size() && after == before) {
            return QStringLiteral("no admite «%1» después de «%2»")
                .arg(platform::Printable(character), platform::Printable(before));
        }
        i += width - 1;
    }
    return std::nullopt;
}

// The largest amount a pesos box of `width` digits takes, as Argentines
// write it: 6 gives "999.999,99".
QString Largest(int width) {
    QString pesos(width, u'9');
    for (qsizetype at = pesos.size() - 3; at > 0; at -= 3) {
        pesos.insert(at, u'.');
    }
    return pesos + QStringLiteral(",99");
}

// Zeros in front say nothing ("00001000" is 1000) but would not fit the box.
QString WithoutLeadingZeros(const QString& digits) {
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits[zeros] == u'0') {
        ++zeros;
    }
    return digits.mid(zeros);
}

// The remarks the window shows beside its validation, in its order.
QStringList Remarks(const app::VoucherWindow& window) {
    QStringList remarks;
    for (const app::BoxNotice* notice :
         {&window.notices().cuitNotice(), &window.notices().pesosNotice()}) {
        if (!notice->text().isEmpty()) {
            remarks << notice->text();
        }
    }
    return remarks;
}

// Types every given value; the first refusal, naming its option (or column),
// or nothing. `notes` get what the voucher's surcharge says.
std::optional<QString> Fill(app::VoucherWindow& window, const VoucherValues& input,
                            QStringList& notes) {
    const auto refuse = [&input](const QString& name, const QString& why) {
        return (input.columnNames ? name : QStringLiteral("--") + name) + QStringLiteral(": ") +
               why;
    };
    if (auto refusal = CheckSurchargeOptions(input)) {
        return refusal;
    }
    const QString sonPesos = QStringLiteral("son-pesos");
    const bool wordsFromTotal = input.values.value(sonPesos).trimmed().compare(
                                    QLatin1String(kWordsFromTotal), Qt::CaseInsensitive) == 0;
    for (const TextOption& option : kTextOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (name == sonPesos && wordsFromTotal) {
            continue;
        }
        const auto it = input.values.find(name);
        if (it == input.values.end()) {
            continue;
        }
        QString value = *it;
        if (name == QStringLiteral("cuit")) {
            value = paycode::CuitFromWrittenForm(value);
            // Hyphens left over mean the written form, got wrong: show it.
            if (value.contains(u'-')) {
                return refuse(name,
                              QStringLiteral("C.U.I.T. no válido «%1». Formas aceptadas: %2")
                                  .arg(platform::Printable(*it), paycode::AcceptedCuitForms()));
            }
        }
        if (auto error = Type(window, option.box, value)) {
            return refuse(name, *error);
        }
    }
    for (const AmountOption& option : kAmountOptions) {
        const QString name = QString::fromUtf8(option.name);
        const auto it = input.values.find(name);
        if (it == input.values.end()) {
            continue;
        }
        const entry::WrittenAmount amount = entry::ReadWrittenAmount(*it);
        if (amount.reading != entry::WrittenAmount::Reading::Amount) {
            return refuse(name,
                          entry::WrittenAmountRefusal(platform::Printable(*it), amount.reading));
        }
        const QString pesos = WithoutLeadingZeros(amount.amount.pesos);
        const int width =
            window.control<QLineEdit>(QString::fromUtf8(option.pesosBox))->maxLength();
        if (pesos.size() > width) {
            return refuse(name, QStringLiteral("«%1» supera el máximo de %2")
                                    .arg(platform::Printable(*it), Largest(width)));
        }
        for (const auto& [box, part] :
             {std::pair{option.pesosBox, pesos}, {option.centsBox, amount.amount.cents}}) {
            if (auto error = Type(window, box, part)) {
                return refuse(name, *error);
            }
        }
    }
    window.control<QCheckBox>(QStringLiteral("Check1"))->setChecked(input.cash);
    LeaveAmountBoxes(window);
    if (auto refusal =
            TypeSurcharge(window, input, notes, [&window](const char* box, const QString& value) {
                return Type(window, box, value);
            })) {
        return refusal;
    }
    if (wordsFromTotal) {
        window.notices().TakeTotalInWords();
    }
    return std::nullopt;
}

// An amount as the window shows it: pesos, a comma, cents.
QString Amount(const app::VoucherWindow& window, const char* pesos, const char* cents) {
    return window.text(QString::fromUtf8(pesos)) + QLatin1Char(',') +
           window.text(QString::fromUtf8(cents));
}

batch::VoucherFigures Figures(const app::VoucherWindow& window) {
    const auto text = [&window](const char* box) { return window.text(QString::fromUtf8(box)); };
    return {text("txtCuit"),
            text("txtNombre"),
            QStringLiteral("%1/%2").arg(text("txtMes").rightJustified(2, u'0'), text("txtAnio")),
            Amount(window, "txtRemuneracion", "txtRemuneracionDec"),
            Amount(window, "txtRetencion", "txtRetencionDec"),
            Amount(window, "txtRecargo", "txtRecargoDec"),
            Amount(window, "txtOtrosConceptos", "txtOtrosConceptosDec"),
            Amount(window, "txtTotal", "TXTtotalDec")};
}

QMap<QString, QString> Boxes(const app::VoucherWindow& window) {
    QMap<QString, QString> boxes;
    for (const app::PrintPair& pair : app::PrintPairs()) {
        const QString box = QString::fromUtf8(pair.box);
        boxes.insert(box, window.text(box));
    }
    const QString cash = QStringLiteral("Check1");
    boxes.insert(cash, window.control<QCheckBox>(cash)->isChecked() ? QStringLiteral("1")
                                                                    : QStringLiteral("0"));
    return boxes;
}

// What the outcome tells of a voucher that left.
void Left(const app::VoucherWindow& window, VoucherOutcome& outcome) {
    outcome.code = window.text(QStringLiteral("Text1"));
    outcome.proposedName = window.ProposedPdfName();
    outcome.figures = Figures(window);
    outcome.boxes = Boxes(window);
    outcome.jobs = window.printedJobs();
}

using Output = std::function<bool(app::VoucherWindow&)>;

// The window filled and put out; what the platform was shown is added by Made().
VoucherOutcome MakeVoucher(const VoucherValues& input, platform::Platform& platform,
                           const Output& output) {
    VoucherOutcome outcome;
    app::VoucherWindow window(platform);
    QStringList notes;
    if (auto error = Fill(window, input, notes)) {
        outcome.messages << *error;
        outcome.status = kRefused;
        return outcome;
    }
    // What the surcharge says is told beside the voucher, as its remarks are;
    // only the remarks are refusals under --estricto.
    outcome.warnings = notes;
    const QStringList remarks = Remarks(window);
    if (input.strict && !remarks.isEmpty()) {
        outcome.messages << remarks;
        outcome.status = kRefused;
        return outcome;
    }
    outcome.warnings << remarks;
    try {
        if (!output(window)) {
            outcome.status = kRefused;
            return outcome;
        }
    } catch (const std::exception& error) {
        outcome.messages << QString::fromUtf8(error.what());
        outcome.status = kUnwritable;
        outcome.jobs = window.printedJobs();
        return outcome;
    }
    Left(window, outcome);
    return outcome;
}

}  // namespace

VoucherOutcome WriteVoucher(const VoucherValues& input, const QString& path) {
    CommandPlatform platform;
    return WriteVoucher(input, path, platform);
}

namespace {

VoucherOutcome Made(const VoucherValues& input, CommandPlatform& platform, const Output& output) {
    platform.Start();
    VoucherOutcome outcome = MakeVoucher(input, platform, output);
    outcome.messages = platform.messages() + outcome.messages;
    return outcome;
}

}  // namespace

VoucherOutcome PrintVoucher(const VoucherValues& input, const QString& printer) {
    CommandPlatform platform;
    platform::PrintChoice choice;
    choice.printerName = printer;
    return Made(input, platform,
                [&choice](app::VoucherWindow& window) { return window.PrintVoucher(choice); });
}

VoucherOutcome WriteVoucher(const VoucherValues& input, const QString& path,
                            CommandPlatform& platform) {
    return Made(input, platform,
                [&path](app::VoucherWindow& window) { return window.WriteVoucherPdf(path); });
}

VoucherOutcome WriteStoredVoucher(const QMap<QString, QString>& boxes, const QString& path) {
    CommandPlatform platform;
    platform.Start();
    VoucherOutcome outcome;
    app::VoucherWindow window(platform);
    for (auto it = boxes.begin(); it != boxes.end(); ++it) {
        if (it.key() == QLatin1String("Check1")) {
            window.control<QCheckBox>(it.key())->setChecked(it.value() == QLatin1String("1"));
        } else if (window.control(it.key()) != nullptr) {
            window.setText(it.key(), it.value());
        }
    }
    LeaveAmountBoxes(window);
    try {
        if (window.WriteVoucherPdf(path)) {
            Left(window, outcome);
        } else {
            outcome.status = kRefused;
        }
    } catch (const std::exception& error) {
        outcome.messages << QString::fromUtf8(error.what());
        outcome.status = kUnwritable;
    }
    outcome.messages = platform.messages() + outcome.messages;
    return outcome;
}

}  // namespace cli
