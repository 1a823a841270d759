// SPDX-License-Identifier: GPL-3.0-or-later
// The command line on any arguments, and the barcode command on any text and bar height: a
// refusal is one printable line; an accepted command is the one its options name; a barcode
// written is the text's symbol at the asked height, read back through zbar.
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "Code128Reference.h"
#include "FuzzInput.h"
#include "ZbarDecode.h"
#include "barcode/Codigo.h"
#include "cli/BarcodeCommand.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/VoucherOptions.h"
#include "platform/Bitmap.h"

namespace {

QTemporaryDir* folder = nullptr;

bool OneLine(const QString& text) {
    return !text.isEmpty() && std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
}

bool AnySet(const cli::CommandLine& line, const QStringList& names) {
    return std::any_of(names.begin(), names.end(),
                       [&line](const QString& name) { return line.isSet(name); });
}

void CheckParse(const QStringList& arguments) {
    cli::CommandLine line;
    if (!line.Parse(QStringList{QStringLiteral("talonario")} + arguments)) {
        FUZZ_CHECK(OneLine(line.errorText()));
        return;
    }
    const QStringList barcodeOnly{QStringLiteral("output"), QStringLiteral("bar-height"),
                                  QStringLiteral("legend")};
    QStringList voucherOnly{QString::fromUtf8(cli::kCashOption)};
    for (const cli::TextOption& option : cli::kTextOptions) {
        voucherOnly << QString::fromUtf8(option.name);
    }
    for (const cli::AmountOption& option : cli::kAmountOptions) {
        voucherOnly << QString::fromUtf8(option.name);
    }
    switch (line.command()) {
        case cli::Command::Pdf:
            FUZZ_CHECK(line.isSet(QStringLiteral("pdf")) && !line.isSet(QStringLiteral("barcode")));
            FUZZ_CHECK(!AnySet(line, barcodeOnly));
            break;
        case cli::Command::Barcode:
            FUZZ_CHECK(line.isSet(QStringLiteral("barcode")) && !line.isSet(QStringLiteral("pdf")));
            FUZZ_CHECK(line.isSet(QStringLiteral("output")) && !AnySet(line, voucherOnly));
            break;
        case cli::Command::Batch:
            FUZZ_CHECK(line.isSet(QStringLiteral("lote")) && !line.isSet(QStringLiteral("pdf")) &&
                       !line.isSet(QStringLiteral("barcode")));
            break;
        case cli::Command::BatchWorker:
            FUZZ_CHECK(line.isSet(QString::fromUtf8(cli::kBatchWorkerOption)));
            break;
        case cli::Command::Template:
            // Alone: no voucher, batch or barcode option goes unheeded beside it.
            FUZZ_CHECK(line.isSet(QStringLiteral("plantilla")) && !AnySet(line, voucherOnly) &&
                       !AnySet(line, barcodeOnly) && !line.isSet(QStringLiteral("pdf")) &&
                       !line.isSet(QStringLiteral("lote")) &&
                       !line.isSet(QStringLiteral("barcode")));
            break;
        case cli::Command::History:
        case cli::Command::Reprint:
        case cli::Command::Register: {
            // One record command, alone but for its own options.
            const QStringList commands{QStringLiteral("historial"), QStringLiteral("reimprimir"),
                                       QStringLiteral("padron")};
            FUZZ_CHECK(std::count_if(commands.begin(), commands.end(),
                                     [&line](const QString& name) { return line.isSet(name); }) ==
                       1);
            QStringList others = voucherOnly + barcodeOnly;
            if (line.command() == cli::Command::History) {
                others.removeAll(QStringLiteral("cuit"));  // its filter
            }
            FUZZ_CHECK(!AnySet(line, others) && !line.isSet(QStringLiteral("lote")));
            FUZZ_CHECK(line.isSet(QStringLiteral("pdf")) ==
                       (line.command() == cli::Command::Reprint));
            break;
        }
        case cli::Command::Help:
        case cli::Command::HelpAll:
        case cli::Command::Version:
            break;
    }
}

bool Encodable(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u' ' && c <= u'~'; });
}

void CheckBarcodeCommand(const QString& text, const QString& heightText, bool legend) {
    const QString path = folder->filePath(QStringLiteral("out.bmp"));
    QFile::remove(path);
    QStringList arguments{QStringLiteral("talonario"), QStringLiteral("--barcode=") + text,
                          QStringLiteral("--output=") + path,
                          QStringLiteral("--bar-height=") + heightText};
    if (legend) {
        arguments << QStringLiteral("--legend");
    }
    bool isNumber = false;
    const short tens = heightText.toShort(&isNumber);
    const bool valid = isNumber && tens >= 0 && Encodable(text);
    const std::string latin = text.toStdString();
    const qint64 width = valid ? 25 + 11 * (qint64{codigo::CountSymbols(latin)} + 3) : 0;
    // Bars and margins alone over the command's limit of 64 million pixels: refused before
    // anything is drawn. Up to a line of legend more: drawn. Pictures between the two are
    // left out, as they take seconds each.
    const bool tooLarge = tens > 3276 || width * (qint64{tens} * 10 + 20) > 64'000'000;
    if (valid && !tooLarge && width * (qint64{tens} * 10 + 60) > 4'000'000) {
        return;
    }

    QString messages;
    QTextStream err(&messages);
    const int status = cli::RunBarcodeCommand(arguments, err);
    err.flush();
    if (!valid || tooLarge) {
        // Refused, with one line that says why, and no file.
        FUZZ_CHECK(status == cli::kRefused);
        FUZZ_CHECK(messages.endsWith(u'\n') && OneLine(messages.chopped(1)));
        FUZZ_CHECK(!QFile::exists(path));
        return;
    }
    FUZZ_CHECK(status == cli::kDone && messages.isEmpty());
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    const QImage picture = platform::ReadBitmap(file.readAll());
    FUZZ_CHECK(picture.width() == width);
    FUZZ_CHECK(picture.height() >= tens * 10 + 20);
    if (tens >= 1 && tens <= 20 && ZbarCanRead(latin)) {
        const std::vector<std::string> decoded = DecodeBarcodes(picture);
        FUZZ_CHECK(decoded.size() == 1 && decoded.front() == latin);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    static QTemporaryDir temporary;
    folder = &temporary;
    return 0;
}

// Lines: the arguments after the program's name. The same lines also give the barcode command
// its text (first line), bar height (second) and legend (a third line that is not empty).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList lines = Lines(data, size, 3);
    CheckParse(lines);
    CheckBarcodeCommand(lines[0], lines[1], !lines[2].isEmpty());
    return 0;
}
