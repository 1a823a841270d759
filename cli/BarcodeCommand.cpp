// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BarcodeCommand.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "barcode/Codigo.h"
#include "barcode/ImageSurface.h"
#include "cli/CommandLine.h"
#include "cli/ExitStatus.h"
#include "cli/Tell.h"
#include "platform/Bitmap.h"
#include "platform/Files.h"
#include "platform/SafeFile.h"

namespace cli {

namespace {

// Beyond this a picture is a mistake, not a barcode: refused before it is allocated.
constexpr qint64 kMaxPixels = 64LL * 1000 * 1000;

class PictureTooLarge : public std::runtime_error {
  public:
    PictureTooLarge(int width, int height)
        : std::runtime_error("too large"), width_(width), height_(height) {}
    int width_;
    int height_;
};

// The image surface, refusing a picture over kMaxPixels and reporting one it
// could not allocate (QImage turns that into a null image, not an exception).
class BoundedImageSurface : public codigo::ImageSurface {
  protected:
    void ResizeArea(int widthPx, int heightPx) override {
        // A side is unset (-1) until the drawing has set both.
        if (qint64(std::max(widthPx, 0)) * std::max(heightPx, 0) > kMaxPixels) {
            throw PictureTooLarge(widthPx, heightPx);
        }
        ImageSurface::ResizeArea(widthPx, heightPx);
    }
};

}  // namespace

int RunBarcodeCommand(const CommandLine& line, QTextStream& err) {
    const auto fail = [&err](int status, const QString& why) {
        Error(err, why);
        return status;
    };

    const QString heightText = line.value(QStringLiteral("bar-height"));
    bool isNumber = false;
    const short tens = heightText.toShort(&isNumber);
    if (!isNumber) {
        return fail(kRefused,
                    QStringLiteral("--bar-height pide un número entero de decenas de píxeles "
                                   "entre 0 y 3276, no «%1»")
                        .arg(platform::Printable(heightText)));
    }
    if (tens < 0) {
        return fail(
            kRefused,
            QStringLiteral("--bar-height %1 es negativo").arg(platform::Printable(heightText)));
    }

    const QString text = line.value(QStringLiteral("barcode"));
    if (text.isEmpty()) {
        return fail(kRefused, QStringLiteral("el texto del código de barras está vacío"));
    }
    // A character is counted whole (a surrogate pair is one); only printable
    // ASCII is encoded, Latin-1 would silently turn the rest into '?'.
    qsizetype position = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        ++position;
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (code < 32 || code > 126) {
            const QString shown = platform::Printable(
                text.mid(i + 1 - (code > 0xFFFF ? 2 : 1), code > 0xFFFF ? 2 : 1));
            return fail(kRefused,
                        QStringLiteral("el carácter «%1» (código %2) en la posición %3 no se "
                                       "puede codificar; solo ASCII imprimible (32 a 126)")
                            .arg(shown)
                            .arg(qulonglong(code))
                            .arg(position));
        }
    }

    BoundedImageSurface surface;
    try {
        codigo::DrawBarcode(surface, tens, text.toLatin1().toStdString(),
                            line.isSet(QStringLiteral("legend")) ? 1 : 0);
        // QImage reports an allocation it could not make as a null image.
        if (surface.picture().isNull()) {
            throw std::bad_alloc();
        }
    } catch (const PictureTooLarge& large) {
        return fail(kRefused, QStringLiteral("con --bar-height %1 el dibujo tendría %2 × %3 "
                                             "píxeles; el máximo es %4 millones de píxeles")
                                  .arg(platform::Printable(heightText))
                                  .arg(large.width_)
                                  .arg(large.height_)
                                  .arg(kMaxPixels / 1000000));
    } catch (const std::overflow_error&) {
        return fail(kRefused,
                    QStringLiteral("el dibujo es demasiado grande con --bar-height %1 y %2 "
                                   "caracteres")
                        .arg(platform::Printable(heightText))
                        .arg(text.size()));
    } catch (const std::bad_alloc&) {
        return fail(kFailed, QStringLiteral("no hay memoria suficiente para el dibujo"));
    }

    const QString path = line.value(QStringLiteral("output"));
    QByteArray bitmap;
    try {
        bitmap = platform::EncodeBitmap24(surface.picture());
    } catch (const std::bad_alloc&) {
    }
    if (bitmap.isEmpty()) {
        return fail(kFailed, QStringLiteral("no hay memoria suficiente para el dibujo"));
    }
    if (const QString why = platform::WriteFileSafely(platform::EncodeName(path), bitmap);
        !why.isEmpty()) {
        return fail(
            kUnwritable,
            QStringLiteral("no se puede escribir %1: %2").arg(platform::Printable(path), why));
    }
    return kDone;
}

int RunBarcodeCommand(const QStringList& arguments, QTextStream& err) {
    CommandLine line;
    if (!line.Parse(arguments)) {
        Error(err, line.errorText());
        return kRefused;
    }
    return RunBarcodeCommand(line, err);
}

}  // namespace cli
