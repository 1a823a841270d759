#include "app/PdfCommand.h"

#include <QCheckBox>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRegularExpression>
#include <array>
#include <optional>

#include "app/VoucherWindow.h"
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
    TextOption{"cuit", "txtCuit", "C.U.I.T., 11 dígitos"},
    TextOption{"mes", "txtMes", "Mes liquidado, 1 a 12"},
    TextOption{"anio", "txtAnio", "Año liquidado"},
    TextOption{"personal", "txtCPersonal", "Cantidad de personal"},
    TextOption{"otros-desc", "txtOtrosDesc", "Descripción de otros conceptos"},
    TextOption{"cheque", "txtCheque", "Cheque o giro número"},
    TextOption{"banco", "txtBanco", "Banco del cheque"},
    TextOption{"son-pesos", "txtPesos", "Importe en letras"},
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

// "1000", "1000,5" or "1000.05": whole pesos and two cents digits.
std::optional<std::pair<QString, QString>> SplitAmount(const QString& value) {
    const qsizetype mark = value.indexOf(QRegularExpression(QStringLiteral("[,.]")));
    if (mark < 0) {
        return std::pair{value, QString()};
    }
    QString cents = value.mid(mark + 1);
    if (cents.isEmpty() || cents.size() > 2) {
        return std::nullopt;
    }
    if (cents.size() == 1) {
        cents += u'0';  // 1000,5 is fifty cents
    }
    return std::pair{value.left(mark), cents};
}

void AddOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Talonario: comprobante de depósito del aporte mensual.\n"
        "Sin opciones abre la ventana del comprobante.\n"
        "Con --pdf genera el comprobante (dos copias) como PDF, sin ventana, e imprime\n"
        "el código de pago en la salida estándar.\n"
        "Con --barcode TEXTO --output ARCHIVO.bmp [--bar-height DECENAS] [--legend]\n"
        "dibuja un código de barras Code 128.\n"
        "Con --lote ARCHIVO.csv --carpeta CARPETA [--trabajos N] [--un-pdf ARCHIVO.pdf]\n"
        "genera un comprobante por fila del CSV; el encabezado nombra las columnas con\n"
        "las opciones de --pdf sin los guiones (cuit, mes, remuneracion, efectivo...).\n"
        "CARPETA/resultado.csv dice qué pasó con cada fila.\n\n"
        "Estados de salida: 0 hecho; 2 opción o valor rechazado, o comprobante no válido\n"
        "(el motivo va a la salida de errores), o CSV ilegible; 3 no se pudo escribir el\n"
        "archivo o la carpeta; 4 el lote rechazó alguna fila."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("Archivo PDF a generar."),
                      QStringLiteral("archivo")});
    for (const TextOption& option : kTextOptions) {
        parser.addOption({QString::fromUtf8(option.name), QString::fromUtf8(option.help),
                          QStringLiteral("texto")});
    }
    for (const AmountOption& option : kAmountOptions) {
        parser.addOption(
            {QString::fromUtf8(option.name),
             QString::fromUtf8(option.help) + QStringLiteral(" (pesos, decimales tras , o .)"),
             QStringLiteral("importe")});
    }
    parser.addOption({QStringLiteral("efectivo"), QStringLiteral("Pago en efectivo.")});
}

}  // namespace

QStringList VoucherOptionNames() {
    QStringList names;
    for (const TextOption& option : kTextOptions) {
        names << QString::fromUtf8(option.name);
    }
    for (const AmountOption& option : kAmountOptions) {
        names << QString::fromUtf8(option.name);
    }
    names << QStringLiteral("efectivo");
    return names;
}

std::optional<QString> FillVoucher(VoucherWindow& window, const VoucherValues& values) {
    for (const TextOption& option : kTextOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (values.contains(name)) {
            if (auto error = Type(window, option.box, values.value(name))) {
                return QStringLiteral("--%1: %2").arg(name, *error);
            }
        }
    }
    for (const AmountOption& option : kAmountOptions) {
        const QString name = QString::fromUtf8(option.name);
        if (!values.contains(name)) {
            continue;
        }
        const auto amount = SplitAmount(values.value(name));
        if (!amount) {
            return QStringLiteral("--%1: importe no válido «%2»").arg(name, values.value(name));
        }
        for (const auto& [box, part] :
             {std::pair{option.pesosBox, amount->first}, {option.centsBox, amount->second}}) {
            if (auto error = Type(window, box, part)) {
                return QStringLiteral("--%1: %2").arg(name, *error);
            }
        }
    }
    window.control<QCheckBox>(QStringLiteral("Check1"))
        ->setChecked(values.contains(QStringLiteral("efectivo")));
    for (const char* box : kLeaveOrder) {
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(window.control(QString::fromUtf8(box)), &leave);
    }
    return std::nullopt;
}

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

    VoucherValues values;
    for (const QString& name : VoucherOptionNames()) {
        if (parser.isSet(name)) {
            values.insert(name, parser.value(name));
        }
    }
    ConsolePlatform platform(err);
    VoucherWindow window(platform);
    if (const auto refusal = FillVoucher(window, values)) {
        err << *refusal << Qt::endl;
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
