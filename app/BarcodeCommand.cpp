#include "app/BarcodeCommand.h"

#include <QCommandLineParser>
#include <QSaveFile>
#include <stdexcept>

#include "barcode/Codigo.h"
#include "barcode/ImageSurface.h"

namespace {

constexpr int kBadArguments = 2;
constexpr int kWriteFailed = 1;

}  // namespace

int RunBarcodeCommand(const QStringList& args, QTextStream& err) {
    const auto fail = [&err](int status, const QString& why) {
        err << "talonario: " << why << Qt::endl;
        return status;
    };

    const QCommandLineOption barcode(QStringLiteral("barcode"), QStringLiteral("Text to encode."),
                                     QStringLiteral("TEXT"));
    const QCommandLineOption output(QStringLiteral("output"), QStringLiteral("Bitmap to write."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption barHeight(QStringLiteral("bar-height"),
                                       QStringLiteral("Bar height in tens of pixels."),
                                       QStringLiteral("TENS"), QStringLiteral("6"));
    const QCommandLineOption legend(QStringLiteral("legend"),
                                    QStringLiteral("Print the text under the bars."));
    QCommandLineParser parser;
    parser.addOptions({barcode, output, barHeight, legend});
    if (!parser.parse(args)) {
        return fail(kBadArguments, parser.errorText());
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail(
            kBadArguments,
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments()[0]));
    }
    if (!parser.isSet(barcode) || !parser.isSet(output)) {
        return fail(kBadArguments,
                    QStringLiteral("usage: talonario --barcode TEXT --output FILE.bmp "
                                   "[--bar-height TENS] [--legend]"));
    }

    bool isNumber = false;
    const short tens = parser.value(barHeight).toShort(&isNumber);
    if (!isNumber) {
        return fail(kBadArguments, QStringLiteral("--bar-height wants a whole number of tens of "
                                                  "pixels, not '%1'")
                                       .arg(parser.value(barHeight)));
    }

    // Latin-1 would turn other characters into '?', which encodes; refuse them here instead.
    const QString text = parser.value(barcode);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() > 0xFF) {
            return fail(kBadArguments,
                        QStringLiteral("barcode text has character code %1 at position %2; only "
                                       "printable ASCII (32 to 126) can be encoded")
                            .arg(text[i].unicode())
                            .arg(i + 1));
        }
    }

    codigo::ImageSurface surface;
    try {
        codigo::DrawBarcode(surface, tens, text.toLatin1().toStdString(),
                            parser.isSet(legend) ? 1 : 0);
    } catch (const std::invalid_argument& e) {
        return fail(kBadArguments, QString::fromUtf8(e.what()));
    } catch (const std::overflow_error& e) {
        return fail(kBadArguments, QString::fromUtf8(e.what()));
    }

    // QSaveFile writes beside the target and renames on commit: no half-written bitmap.
    QSaveFile file(parser.value(output));
    if (!file.open(QIODevice::WriteOnly) || !codigo::SaveBitmap24(surface.picture(), file) ||
        !file.commit()) {
        return fail(
            kWriteFailed,
            QStringLiteral("cannot write %1: %2").arg(parser.value(output), file.errorString()));
    }
    return 0;
}
