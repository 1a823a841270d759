// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Bitmap.h"

#include <QIODevice>
#include <QtEndian>
#include <cstring>

namespace platform {

namespace {
constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;  // BITMAPINFOHEADER
constexpr int kBitsPerPixel = 24;

// Rows of a bitmap are padded to whole 32-bit words.
qsizetype RowBytes(int width) {
    return (qsizetype(width) * 3 + 3) & ~qsizetype(3);
}

template <typename T>
void Put(char* at, T value) {
    qToLittleEndian(value, at);
}

template <typename T>
T Get(const char* at) {
    return qFromLittleEndian<T>(at);
}
}  // namespace

QByteArray EncodeBitmap24(const QImage& image) {
    const QImage rows = image.convertToFormat(QImage::Format_BGR888);
    const int width = rows.width();
    const int height = rows.height();
    const qsizetype rowBytes = RowBytes(width);
    const qsizetype headers = kFileHeader + kInfoHeader;
    QByteArray file(headers + rowBytes * height, '\0');
    char* h = file.data();
    h[0] = 'B';
    h[1] = 'M';
    Put<quint32>(h + 2, quint32(file.size()));
    Put<quint32>(h + 10, quint32(headers));
    Put<quint32>(h + 14, kInfoHeader);
    Put<qint32>(h + 18, width);
    Put<qint32>(h + 22, height);  // positive: the bottom row comes first
    Put<quint16>(h + 26, 1);
    Put<quint16>(h + 28, kBitsPerPixel);
    Put<quint32>(h + 34, quint32(rowBytes * height));
    Put<qint32>(h + 38, 3780);  // 96 dots per inch, in dots per metre
    Put<qint32>(h + 42, 3780);
    for (int y = 0; y < height; ++y) {
        std::memcpy(h + headers + (height - 1 - y) * rowBytes, rows.constScanLine(y),
                    size_t(width) * 3);
    }
    return file;
}

bool WriteBitmap24(const QImage& image, QIODevice& device) {
    const QByteArray file = EncodeBitmap24(image);
    return device.write(file) == file.size();
}

QImage ReadBitmap(const QByteArray& data) {
    const char* d = data.constData();
    const bool plain24 = data.size() >= kFileHeader + kInfoHeader && d[0] == 'B' && d[1] == 'M' &&
                         Get<quint32>(d + 14) >= kInfoHeader && Get<quint16>(d + 28) == 24 &&
                         Get<quint32>(d + 30) == 0;
    if (!plain24) {
        return QImage::fromData(data);
    }
    const quint32 offset = Get<quint32>(d + 10);
    const quint32 infoSize = Get<quint32>(d + 14);
    const qint32 width = Get<qint32>(d + 18);
    const qint32 signedHeight = Get<qint32>(d + 22);
    const qint64 height = signedHeight < 0 ? -qint64(signedHeight) : qint64(signedHeight);
    // Pixels that would start inside the headers mean a damaged file, not a picture.
    if (width <= 0 || height <= 0 || width > 0x8000 || height > 0x8000 ||
        quint64(offset) < quint64(kFileHeader) + infoSize ||
        quint64(offset) + quint64(RowBytes(width)) * quint64(height) > quint64(data.size())) {
        return {};
    }
    // Straight into 32-bit rows, the form painting wants, with no 24-bit copy
    // in between: the voucher picture alone is 1.2 MB of it.
    QImage image(width, int(height), QImage::Format_RGB32);
    if (image.isNull()) {
        return {};  // more than this machine can hold
    }
    const qsizetype rowBytes = RowBytes(width);
    for (int y = 0; y < height; ++y) {
        const qint64 stored = signedHeight < 0 ? y : height - 1 - y;
        const auto* in = reinterpret_cast<const uchar*>(d + offset + stored * rowBytes);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += 3) {
            out[x] = qRgb(in[2], in[1], in[0]);
        }
    }
    return image;
}

}  // namespace platform
