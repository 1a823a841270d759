#include "app/PdfCommand.h"

#include <QCheckBox>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <array>
#include <optional>

#include "app/EntryNotices.h"
#include "app/VoucherWindow.h"
#include "entry/AmountWords.h"
#include "paycode/CuitCheck.h"
#include "platform/QtPlatform.h"

namespace app {

namespace {

// Exit statuses of the command line.
constexpr int kDone = 0;
constexpr int kRefused = 2;  // bad option or value, or the voucher's own validation
constexpr int kUnwritable = 3;

// Messages go to standard error; the one question (confirm?) is answered yes.
class ConsolePlatform : public platform::QtPlatform {
  public:
    explicit ConsolePlatform(QTextStream& err) : err_(err) {}
    platform::Answer ShowMessage(QWidget*, const platform::Message& message) override {
        if (message.buttons == platform::Buttons::YesNo) {
            return platform::Answer::Yes;
        }
        err_ << message.text << Qt::endl;
        return platform::Answer::Ok;
    }

  private:
    QTextStream& err_;
};

struct TextOption {
    const char* name;
    const char* box;
    const char* help;
};

// clang-format off
constexpr std::array kTextOptions{
    TextOption{"establecimiento", "txtNombre", "Establecimiento"},
    TextOption{"calle", "txtCalle", "Calle y número"},
    TextOption{"cp", "txtCP", "Código postal"},
    TextOption{"localidad", "txtLoc", "Localidad"},
    TextOption{"provincia", "txtPcia", "Provincia"},
    TextOption{"cuit", "txtCuit", "C.U.I.T., 11 dígitos o 20-12345678-6"},
    TextOption{"mes", "txtMes", "Mes liquidado, 1 a 12"},
    TextOption{"anio", "txtAnio", "Año liquidado"},
    TextOption{"personal", "txtCPersonal", "Cantidad de personal"},
    TextOption{"otros-desc", "txtOtrosDesc", "Descripción de otros conceptos"},
    TextOption{"cheque", "txtCheque", "Cheque o giro número"},
    TextOption{"banco", "txtBanco", "Banco del cheque"},
    TextOption{"son-pesos", "txtPesos", "Importe en letras, o «auto» para el total en letras"},
    TextOption{"dia", "Text2", "Día del depósito"},
    TextOption{"mes-deposito", "Text3", "Mes del depósito, en letras"},
    TextOption{"anio-deposito", "Text4", "Últimos dos dígitos del año del depósito"},
};

struct AmountOption {
    const char* name;
    const char* pesosBox;
    const char* centsBox;
    const char* help;
};

constexpr std::array kAmountOptions{
    AmountOption{"remuneracion", "txtRemuneracion", "txtRemuneracionDec", "Total de remuneración"},
    AmountOption{"recargo", "txtRecargo", "txtRecargoDec", "Recargo actualizado de intereses"},
    AmountOption{"otros", "txtOtrosConceptos", "txtOtrosConceptosDec", "Otros conceptos"},
};
// clang-format on

// The amount boxes in tab order, left one after the other as a person would.
constexpr std::array<const char*, 6> kLeaveOrder{"txtRemuneracion",   "txtRemuneracionDec",
                                                 "txtRecargo",        "txtRecargoDec",
                                                 "txtOtrosConceptos", "txtOtrosConceptosDec"};

// Types `value` into the box key by key, through the same filters as the
// keyboard. The first key the box does not take is returned as an error.
std::optional<QString> Type(VoucherWindow& window, const char* box, const QString& value) {
    QWidget* target = window.control(QString::fromUtf8(box));
    for (const QChar c : value) {
        const QString before = window.text(QString::fromUtf8(box));
        const bool enter = c == u'\n';
        const auto key = enter ? Qt::Key_Return : Qt::Key(c.toUpper().unicode());
        const QString keyText = enter ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, keyText);
        QCoreApplication::sendEvent(target, &press);
        if (window.text(QString::fromUtf8(box)) == before) {
            return QStringLiteral("no admite «%1» después de «%2»").arg(c).arg(before);
        }
    }
    return std::nullopt;
}

// Why a written amount is refused, with the forms that are accepted.
QString AmountRefusal(const QString& option, const QString& value,
                      entry::WrittenAmount::Reading reading) {
    const QString why =
        reading == entry::WrittenAmount::Reading::Ambiguous
            ? QStringLiteral("«%1» es ambiguo: puede leerse como miles o como decimales.")
            : QStringLiteral("importe no válido «%1».");
    return QStringLiteral("--%1: %2 Formas aceptadas: %3")
        .arg(option, why.arg(value), entry::AcceptedAmountForms());
}

// The remarks the window would show beside its validation, as the command
// line reports them: warnings, or with --estricto refusals.
QStringList Remarks(VoucherWindow& window) {
    QStringList remarks;
    for (const BoxNotice* notice :
         {&window.notices().cuitNotice(), &window.notices().pesosNotice()}) {
        if (!notice->text().isEmpty()) {
            remarks << notice->text();
        }
    }
    return remarks;
}

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Talonario: comprobante de depósito del aporte mensual.\n"
        "Sin opciones abre la ventana del comprobante.\n"
        "Con --pdf genera el comprobante (dos copias) como PDF, sin ventana, e imprime\n"
        "el código de pago en la salida estándar.\n"
        "Con --barcode TEXTO --output ARCHIVO.bmp [--bar-height DECENAS] [--legend]\n"
        "dibuja un código de barras Code 128.\n\n"
        "Un dígito verificador del C.U.I.T. incorrecto, o un importe en letras que dice\n"
        "otra cosa que el total, dan un aviso en la salida de errores; con --estricto\n"
        "rechazan el comprobante.\n\n"
        "Estados de salida: 0 hecho; 2 opción o valor rechazado, o comprobante no válido\n"
        "(el motivo va a la salida de errores); 3 no se pudo escribir el archivo."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("Archivo PDF a generar."),
                      QStringLiteral("archivo")});
    for (const TextOption& option : kTextOptions) {
        parser.addOption({QString::fromUtf8(option.name), QString::fromUtf8(option.help),
                          QStringLiteral("texto")});
    }
    for (const AmountOption& option : kAmountOptions) {
        parser.addOption({QString::fromUtf8(option.name),
                          QString::fromUtf8(option.help) + QStringLiteral(" (") +
                              entry::AcceptedAmountForms() + u')',
                          QStringLiteral("importe")});
    }
    parser.addOption({QStringLiteral("efectivo"), QStringLiteral("Pago en efectivo.")});
    parser.addOption({QStringLiteral("estricto"),
                      QStringLiteral("Los avisos (dígito verificador, importe en letras) rechazan "
                                     "el comprobante.")});
}

}  // namespace

int RunPdfCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments)) {
        err << parser.errorText() << Qt::endl;
        return kRefused;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return kDone;
    }
    const QString path = parser.value(QStringLiteral("pdf"));
    if (path.isEmpty() || !parser.positionalArguments().isEmpty()) {
        err << "Uso: talonario --pdf ARCHIVO [opciones]; vea --help" << Qt::endl;
        return kRefused;
    }

    ConsolePlatform platform(err);
    VoucherWindow window(platform);
    const QString sonPesos = QStringLiteral("son-pesos");
    const bool wordsFromTotal = parser.value(sonPesos) == QStringLiteral("auto");
    for (const TextOption& option : kTextOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (parser.isSet(name) && !(name == sonPesos && wordsFromTotal)) {
            QString value = parser.value(name);
            if (name == QStringLiteral("cuit")) {
                value = paycode::CuitFromWrittenForm(value);
            }
            if (auto error = Type(window, option.box, value)) {
                err << "--" << name << ": " << *error << Qt::endl;
                return kRefused;
            }
        }
    }
    for (const AmountOption& option : kAmountOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (!parser.isSet(name)) {
            continue;
        }
        const entry::WrittenAmount amount = entry::ReadWrittenAmount(parser.value(name));
        if (amount.reading != entry::WrittenAmount::Reading::Amount) {
            err << AmountRefusal(name, parser.value(name), amount.reading) << Qt::endl;
            return kRefused;
        }
        for (const auto& [box, part] : {std::pair{option.pesosBox, amount.amount.pesos},
                                        {option.centsBox, amount.amount.cents}}) {
            if (auto error = Type(window, box, part)) {
                err << "--" << name << ": " << *error << Qt::endl;
                return kRefused;
            }
        }
    }
    window.control<QCheckBox>(QStringLiteral("Check1"))
        ->setChecked(parser.isSet(QStringLiteral("efectivo")));
    for (const char* box : kLeaveOrder) {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(window.control(QString::fromUtf8(box)), &leave);
    }
    if (wordsFromTotal) {
        window.notices().TakeTotalInWords();
    }
    const QStringList remarks = Remarks(window);
    const bool strict = parser.isSet(QStringLiteral("estricto"));
    for (const QString& remark : remarks) {
        err << (strict ? QString() : QStringLiteral("Aviso: ")) << remark << Qt::endl;
    }
    if (strict && !remarks.isEmpty()) {
        return kRefused;
    }

    try {
        if (!window.WriteVoucherPdf(path)) {
            return kRefused;
        }
    } catch (const std::exception& error) {
        err << QString::fromUtf8(error.what()) << Qt::endl;
        return kUnwritable;
    }
    out << window.text(QStringLiteral("Text1")) << Qt::endl;
    return kDone;
}

}  // namespace app
