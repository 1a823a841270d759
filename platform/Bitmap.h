// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

class QIODevice;

namespace platform {

// Windows bitmaps, 24 bits per pixel, written and read row by row. Qt's own
// BMP codec converts pixel by pixel, which made the bitmap round trip the
// slowest step of producing a barcode and of drawing the voucher at start.

// `image` as the bytes of an uncompressed 24-bit bitmap file.
QByteArray EncodeBitmap24(const QImage& image);
// Writes `image` as an uncompressed 24-bit bitmap. False when writing fails.
bool WriteBitmap24(const QImage& image, QIODevice& device);

// Reads an uncompressed 24-bit bitmap directly; any other image file Qt can
// read goes through Qt. A null image when the data is no picture.
QImage ReadBitmap(const QByteArray& data);

}  // namespace platform
