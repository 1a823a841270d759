// SPDX-License-Identifier: GPL-3.0-or-later
// The bitmap reader on any bytes: no picture, or a picture that Qt's own BMP reader agrees with
// and that survives our writer.
#include <QtEndian>

#include "FuzzInput.h"
#include "platform/Bitmap.h"

namespace {

// Whether the reader's own 24-bit path takes the file: the fields it relies on, read here apart.
bool IsPlain24(const QByteArray& data) {
    const char* d = data.constData();
    return data.size() >= 54 && d[0] == 'B' && d[1] == 'M' &&
           qFromLittleEndian<quint32>(d + 14) >= 40 && qFromLittleEndian<quint16>(d + 28) == 24 &&
           qFromLittleEndian<quint32>(d + 30) == 0;
}

// The pixel at (x, y) of a plain 24-bit file, straight from its bytes.
QRgb StoredPixel(const QByteArray& data, int x, int y) {
    const char* d = data.constData();
    const quint32 offset = qFromLittleEndian<quint32>(d + 10);
    const qint32 width = qFromLittleEndian<qint32>(d + 18);
    const qint32 height = qFromLittleEndian<qint32>(d + 22);
    const qint64 row = height < 0 ? y : qint64(height) - 1 - y;
    const qint64 rowBytes = (qint64(width) * 3 + 3) / 4 * 4;
    const auto* at = reinterpret_cast<const uchar*>(d + offset + row * rowBytes + qint64(x) * 3);
    return qRgb(at[2], at[1], at[0]);
}

void CheckPlain24(const QByteArray& data, const QImage& image) {
    const qint32 width = qFromLittleEndian<qint32>(data.constData() + 18);
    const qint32 height = qFromLittleEndian<qint32>(data.constData() + 22);
    // The pixels lie after both headers.
    FUZZ_CHECK(qFromLittleEndian<quint32>(data.constData() + 10) >=
               14 + quint64(qFromLittleEndian<quint32>(data.constData() + 14)));
    FUZZ_CHECK(image.width() == width);
    FUZZ_CHECK(image.height() == qAbs(qint64(height)));
    FUZZ_CHECK(image.format() == QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            FUZZ_CHECK(image.pixel(x, y) == StoredPixel(data, x, y));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Qt's image readers warn about every damaged file; the properties speak for themselves.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const QImage image = platform::ReadBitmap(data);
    if (image.isNull()) {
        return 0;
    }
    FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    if (IsPlain24(data)) {
        // Every pixel comes from the bytes the header points at, which all lie within the file.
        CheckPlain24(data, image);
        // Where Qt's BMP reader takes the file as well, it sees the same picture.
        const QImage qtRead = QImage::fromData(data, "BMP");
        if (qtRead.size() == image.size()) {
            FUZZ_CHECK(qtRead.convertToFormat(QImage::Format_RGB32) == image);
        }
    }
    // Our writer and reader keep any picture read, colour for colour, up to the reader's own
    // limit of 32768 pixels a side (Qt's readers have none).
    if (image.width() > 0x8000 || image.height() > 0x8000) {
        return 0;
    }
    const QImage opaque =
        image.convertToFormat(QImage::Format_BGR888).convertToFormat(QImage::Format_RGB32);
    FUZZ_CHECK(platform::ReadBitmap(platform::EncodeBitmap24(image)) == opaque);
    return 0;
}
