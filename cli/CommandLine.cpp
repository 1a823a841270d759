// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include <algorithm>

#include "cli/CommandLineTexts.h"
#include "cli/ExitStatus.h"
#include "cli/Recording.h"
#include "cli/VoucherOptions.h"
#include "entry/WrittenAmount.h"
#include "platform/Files.h"

namespace cli {

namespace {

const QString kBarcodeUsage = QStringLiteral(
    "Uso: talonario --barcode TEXTO --output ARCHIVO.bmp [--bar-height DECENAS] [--legend]");

const QString kBatchUsage = QStringLiteral(
    "Uso: talonario --lote ARCHIVO.csv --carpeta CARPETA [--trabajos N] [--un-pdf ARCHIVO.pdf]");

const QStringList kBatchOnly{QStringLiteral("carpeta"), QStringLiteral("trabajos"),
                             QStringLiteral("un-pdf"), QStringLiteral("completar")};

const QStringList kBarcodeOnly{QStringLiteral("output"), QStringLiteral("bar-height"),
                               QStringLiteral("legend")};

const QString kTemplate = QStringLiteral("plantilla");
const QString kHistory = QStringLiteral("historial");
const QString kReprint = QStringLiteral("reimprimir");
const QString kRegister = QStringLiteral("padron");

}  // namespace

CommandLine::CommandLine() {
    parser_.setApplicationDescription(
        QStringLiteral(
            "Talonario: comprobante de depósito del aporte mensual.\n"
            "Sin opciones abre la ventana del comprobante.\n"
            "Con --pdf genera el comprobante (dos copias) como PDF, sin ventana, e imprime\n"
            "el código de pago en la salida estándar. Con --pdf /dev/stdout el PDF va a la\n"
            "salida estándar y el código de pago a la salida de errores.\n"
            "Con --imprimir [--impresora NOMBRE] y las opciones de --pdf imprime las dos\n"
            "copias, sin escribir archivo; con --lote, las de cada fila escrita, en orden.\n"
            "Con --barcode TEXTO --output ARCHIVO.bmp [--bar-height DECENAS] [--legend]\n"
            "dibuja un código de barras Code 128.\n"
            "Con --lote ARCHIVO.csv --carpeta CARPETA [--trabajos N] [--un-pdf ARCHIVO.pdf]\n"
            "genera un comprobante por fila del CSV; el encabezado nombra las columnas con\n"
            "las opciones de --pdf sin los guiones (cuit, mes, remuneracion, efectivo...),\n"
            "y CARPETA/resultado.csv dice qué pasó con cada fila.\n\n"
            "Un dígito verificador del C.U.I.T. incorrecto, o un importe en letras que dice\n"
            "otra cosa que el total o que no se puede leer, dan un aviso en la salida de\n"
            "errores; con --estricto rechazan el comprobante.\n\n"
            "Con --recargo-desde VENCIMIENTO --tasa PORCENTAJE el recargo es el interés\n"
            "simple de la contribución desde el vencimiento hasta hoy (contribución × tasa\n"
            "÷ 100 × días ÷ 30, redondeado al centavo); en --lote, columnas recargo-desde\n"
            "y tasa.\n\n"
            "Cada comprobante que sale queda en el historial (--base, la variable\n"
            "TALONARIO_BASE o ~/.local/share/talonario/talonario.sqlite); si no se puede\n"
            "registrar, el comprobante sale igual y un aviso dice por qué.\n"
            "Con --historial [--cuit X] [--desde AAAA-MM] [--hasta AAAA-MM] escribe el\n"
            "historial como CSV en la salida estándar; con --reimprimir ID --pdf ARCHIVO\n"
            "escribe de nuevo ese comprobante; con --padron ARCHIVO.csv escribe el padrón\n"
            "de empleadores como CSV para --lote, y --lote ... --completar llena con él las\n"
            "columnas del empleador que falten.\n\n") +
        ExitStatusHelp() + u'\n' + BatchColumnsHelp());
    // Our own, for Spanish descriptions whatever Qt's translation says.
    parser_.addOption({QStringList{QStringLiteral("h"), QStringLiteral("help")},
                       QStringLiteral("Muestra esta ayuda y termina.")});
    parser_.addOption(
        {QStringLiteral("help-all"),
         QStringLiteral("Muestra esta ayuda con las variables de entorno, y termina.")});
    parser_.addOption({QStringList{QStringLiteral("v"), QStringLiteral("version")},
                       QStringLiteral("Muestra la versión y termina.")});
    parser_.addOption({QStringLiteral("pdf"), QStringLiteral("Archivo PDF a generar."),
                       QStringLiteral("archivo")});
    for (const TextOption& option : kTextOptions) {
        parser_.addOption({QString::fromUtf8(option.name), QString::fromUtf8(option.help),
                           QStringLiteral("texto")});
    }
    for (const AmountOption& option : kAmountOptions) {
        parser_.addOption({QString::fromUtf8(option.name),
                           QString::fromUtf8(option.help) + QStringLiteral(" (") +
                               entry::AcceptedAmountForms() + u')',
                           QStringLiteral("importe")});
    }
    parser_.addOption({QString::fromUtf8(kCashOption), QStringLiteral("Pago en efectivo.")});
    parser_.addOption({QString::fromUtf8(kSurchargeFromOption),
                       QStringLiteral("Calcula el recargo desde este vencimiento (AAAA-MM-DD o "
                                      "DD/MM/AAAA) hasta hoy; va con --tasa, no con --recargo."),
                       QStringLiteral("vencimiento")});
    parser_.addOption(
        {QString::fromUtf8(kRateOption),
         QStringLiteral("Tasa mensual en por ciento del recargo («3», «3,5» o «3.5»): "
                        "contribución × tasa ÷ 100 × días ÷ 30."),
         QStringLiteral("porcentaje")});
    parser_.addOption({QString::fromUtf8(kStrictOption),
                       QStringLiteral("Los avisos (dígito verificador, importe en letras) "
                                      "rechazan el comprobante.")});
    parser_.addOption({QStringLiteral("barcode"),
                       QStringLiteral("Texto del código de barras a dibujar (ASCII imprimible)."),
                       QStringLiteral("texto")});
    parser_.addOption({QStringLiteral("output"),
                       QStringLiteral("Mapa de bits a escribir con --barcode."),
                       QStringLiteral("archivo")});
    parser_.addOption({QStringLiteral("bar-height"),
                       QStringLiteral("Alto de las barras, en decenas de píxeles (6 si falta)."),
                       QStringLiteral("decenas"), QStringLiteral("6")});
    parser_.addOption(
        {QStringLiteral("legend"), QStringLiteral("Escribe el texto debajo de las barras.")});
    parser_.addOption({QStringLiteral("lote"), QStringLiteral("CSV con un comprobante por fila."),
                       QStringLiteral("archivo")});
    parser_.addOption({QStringLiteral("carpeta"),
                       QStringLiteral("Carpeta de los PDF del lote y de resultado.csv."),
                       QStringLiteral("carpeta")});
    parser_.addOption(
        {QStringLiteral("trabajos"),
         QStringLiteral("Procesos que trabajan a la vez en el lote (uno por núcleo si falta)."),
         QStringLiteral("N")});
    parser_.addOption({QStringLiteral("un-pdf"),
                       QStringLiteral("Todos los comprobantes del lote en este único PDF."),
                       QStringLiteral("archivo")});
    parser_.addOption({QString::fromUtf8(kPrintOption),
                       QStringLiteral("Imprime las dos copias en lugar de escribir el PDF; con "
                                      "--lote, las de cada fila escrita, en orden.")});
    parser_.addOption({QString::fromUtf8(kPrinterOption),
                       QStringLiteral("Cola de CUPS de --imprimir (la predeterminada si falta)."),
                       QStringLiteral("nombre")});
    parser_.addOption({kTemplate,
                       QStringLiteral("Escribe un CSV para --lote con todas las columnas y una "
                                      "fila de ejemplo."),
                       QStringLiteral("archivo")});
    parser_.addOption({QString::fromUtf8(kStoreOption),
                       QStringLiteral("Dónde queda el historial: un archivo SQLite, una dirección "
                                      "postgresql://... o «ninguna»."),
                       QStringLiteral("destino")});
    parser_.addOption({QString::fromUtf8(kNoRecordOption),
                       QStringLiteral("No registra el comprobante en el historial.")});
    parser_.addOption({kHistory, QStringLiteral("Escribe el historial como CSV en la salida "
                                                "estándar (con --cuit, --desde, --hasta).")});
    parser_.addOption({QStringLiteral("desde"),
                       QStringLiteral("Con --historial, desde este período."),
                       QStringLiteral("AAAA-MM")});
    parser_.addOption({QStringLiteral("hasta"),
                       QStringLiteral("Con --historial, hasta este período."),
                       QStringLiteral("AAAA-MM")});
    parser_.addOption({kReprint,
                       QStringLiteral("Con --pdf, escribe de nuevo el comprobante de ese número "
                                      "del historial."),
                       QStringLiteral("ID")});
    parser_.addOption({kRegister,
                       QStringLiteral("Escribe el padrón de empleadores como CSV para --lote."),
                       QStringLiteral("archivo")});
    parser_.addOption({QStringLiteral("completar"),
                       QStringLiteral("Con --lote, llena las columnas del empleador que falten "
                                      "con las del padrón.")});
    QCommandLineOption worker(QString::fromUtf8(kBatchWorkerOption));
    worker.setFlags(QCommandLineOption::HiddenFromHelp);
    parser_.addOption(worker);
}

bool CommandLine::Parse(const QStringList& arguments) {
    const auto refuse = [this](const QString& why) {
        error_ = why;
        return false;
    };
    if (!parser_.parse(arguments)) {
        return refuse(platform::Printable(parser_.errorText()));
    }
    if (!parser_.positionalArguments().isEmpty()) {
        return refuse(QStringLiteral("Argumento inesperado «%1»; vea --help")
                          .arg(platform::Printable(parser_.positionalArguments().constFirst())));
    }
    if (parser_.isSet(QString::fromUtf8(kStoreOption)) &&
        parser_.isSet(QString::fromUtf8(kNoRecordOption))) {
        return refuse(QStringLiteral("--base y --sin-historial no van juntas; vea --help"));
    }
    if (!parser_.isSet(kHistory) &&
        (parser_.isSet(QStringLiteral("desde")) || parser_.isSet(QStringLiteral("hasta")))) {
        return refuse(QStringLiteral("--desde y --hasta van solo con --historial; vea --help"));
    }
    const bool pdf = parser_.isSet(QStringLiteral("pdf"));
    const bool print = parser_.isSet(QString::fromUtf8(kPrintOption));
    const bool barcode = parser_.isSet(QStringLiteral("barcode"));
    const bool batch = parser_.isSet(QStringLiteral("lote"));
    const bool batchOption =
        std::any_of(kBatchOnly.begin(), kBatchOnly.end(),
                    [this](const QString& name) { return parser_.isSet(name); });
    if (parser_.isSet(QStringLiteral("help-all"))) {
        command_ = Command::HelpAll;
    } else if (parser_.isSet(QStringLiteral("help"))) {
        command_ = Command::Help;
    } else if (parser_.isSet(QStringLiteral("version"))) {
        command_ = Command::Version;
    } else if (parser_.isSet(QString::fromUtf8(kBatchWorkerOption))) {
        command_ = Command::BatchWorker;
    } else if (parser_.isSet(kTemplate)) {
        const QStringList given = parser_.optionNames();
        if (std::any_of(given.begin(), given.end(),
                        [](const QString& name) { return name != kTemplate; })) {
            return refuse(QStringLiteral("--plantilla va sola; vea --help"));
        }
        command_ = Command::Template;
    } else if (parser_.isSet(QString::fromUtf8(kPrinterOption)) && !print) {
        return refuse(QStringLiteral("--impresora va con --imprimir; vea --help"));
    } else if (print && (pdf || barcode)) {
        return refuse(
            QStringLiteral("--imprimir no va con --pdf ni con --barcode: imprime en lugar de "
                           "escribir; vea --help"));
    } else if (parser_.isSet(kHistory) || parser_.isSet(kReprint) || parser_.isSet(kRegister)) {
        return ParseRecordCommand();
    } else if (batch && (pdf || barcode)) {
        return refuse(QStringLiteral("--lote no va con --pdf ni con --barcode; vea --help"));
    } else if (batch) {
        command_ = Command::Batch;
        for (const QString& name : VoucherOptionNames() + kBarcodeOnly) {
            if (parser_.isSet(name)) {
                return refuse(
                    QStringLiteral("--%1 no va con --lote: los valores van en las columnas del "
                                   "CSV; vea --help")
                        .arg(name));
            }
        }
        if (!parser_.isSet(QStringLiteral("carpeta"))) {
            return refuse(kBatchUsage);
        }
    } else if (batchOption) {
        return refuse(kBatchUsage);
    } else if (pdf && barcode) {
        return refuse(QStringLiteral("--pdf y --barcode no van juntas; vea --help"));
    } else if (pdf || print) {
        command_ = Command::Pdf;
        for (const QString& name : kBarcodeOnly) {
            if (parser_.isSet(name)) {
                return refuse(QStringLiteral("--%1 va solo con --barcode; vea --help").arg(name));
            }
        }
    } else if (barcode) {
        command_ = Command::Barcode;
        const QStringList voucherOnly =
            VoucherOptionNames() + QStringList{QString::fromUtf8(kStrictOption)};
        for (const QString& name : voucherOnly) {
            if (parser_.isSet(name)) {
                return refuse(QStringLiteral("--%1 va solo con --pdf; vea --help").arg(name));
            }
        }
        if (!parser_.isSet(QStringLiteral("output"))) {
            return refuse(kBarcodeUsage);
        }
    } else if (std::any_of(kBarcodeOnly.begin(), kBarcodeOnly.end(),
                           [this](const QString& name) { return parser_.isSet(name); })) {
        return refuse(kBarcodeUsage);
    } else {
        return refuse(QStringLiteral("Uso: talonario --pdf ARCHIVO [opciones]; vea --help"));
    }
    return true;
}

// --historial, --reimprimir and --padron: each reads the record, with the
// options of its own and --base.
bool CommandLine::ParseRecordCommand() {
    const QStringList commands{kHistory, kReprint, kRegister};
    const auto given = std::count_if(commands.begin(), commands.end(),
                                     [this](const QString& name) { return parser_.isSet(name); });
    if (given > 1) {
        error_ = QStringLiteral("--historial, --reimprimir y --padron no van juntas; vea --help");
        return false;
    }
    const QString command = parser_.isSet(kHistory)   ? kHistory
                            : parser_.isSet(kReprint) ? kReprint
                                                      : kRegister;
    if (parser_.isSet(QString::fromUtf8(kNoRecordOption))) {
        error_ = QStringLiteral("--%1 lee el historial: no va con --sin-historial").arg(command);
        return false;
    }
    QStringList allowed{command, QString::fromUtf8(kStoreOption)};
    if (command == kHistory) {
        allowed << QStringLiteral("cuit") << QStringLiteral("desde") << QStringLiteral("hasta");
        command_ = Command::History;
    } else if (command == kReprint) {
        allowed << QStringLiteral("pdf");
        command_ = Command::Reprint;
        if (!parser_.isSet(QStringLiteral("pdf"))) {
            error_ =
                QStringLiteral("Uso: talonario --reimprimir ID --pdf ARCHIVO [--base DESTINO]");
            return false;
        }
    } else {
        command_ = Command::Register;
    }
    for (const QString& name : parser_.optionNames()) {
        if (!allowed.contains(name)) {
            error_ = QStringLiteral("--%1 no va con --%2; vea --help").arg(name, command);
            return false;
        }
    }
    return true;
}

QString CommandLine::helpText(bool all) const {
    QString text = parser_.helpText();
    // Qt leaves the last line open when it wraps the last option's help.
    if (!text.endsWith(u'\n')) {
        text += u'\n';
    }
    if (all) {
        text += QStringLiteral(
            "\nVariables de entorno:\n"
            "  DISPLAY, WAYLAND_DISPLAY  Pantalla en la que se abre la ventana.\n"
            "  QT_QPA_PLATFORM           Plataforma de Qt (xcb, wayland, offscreen).\n");
    }
    return text;
}

}  // namespace cli
