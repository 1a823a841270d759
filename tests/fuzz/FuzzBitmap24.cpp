// SPDX-License-Identifier: GPL-3.0-or-later
// The bitmap reader on well-formed 24-bit files around fuzzed pixels: every size, row order,
// header version, padding and gap before the pixels reads back exactly, as Qt's reader reads it.
#include <fuzzer/FuzzedDataProvider.h>
#include <QtEndian>

#include "FuzzInput.h"
#include "platform/Bitmap.h"

namespace {

template <typename T>
void Put(QByteArray& file, qsizetype at, T value) {
    qToLittleEndian(value, file.data() + at);
}

struct Picture {
    QImage image;
    QByteArray file;
};

Picture Build(FuzzedDataProvider& input) {
    const int width = input.ConsumeIntegralInRange(1, 70);
    const int height = input.ConsumeIntegralInRange(1, 70);
    const bool topDown = input.ConsumeBool();
    // The three header versions that carry 24-bit pixels: 40, 108 and 124 bytes.
    const quint32 infoSize =
        std::array<quint32, 3>{40, 108, 124}[input.ConsumeIntegralInRange(0, 2)];
    const int gap = input.ConsumeIntegralInRange(0, 16);
    const int trailing = input.ConsumeIntegralInRange(0, 16);
    const quint8 padding = input.ConsumeIntegral<quint8>();

    const qsizetype rowBytes = (qsizetype(width) * 3 + 3) / 4 * 4;
    const qsizetype offset = 14 + infoSize + gap;
    QByteArray file(offset + rowBytes * height + trailing, char(padding));
    file[0] = 'B';
    file[1] = 'M';
    Put<quint32>(file, 2, quint32(file.size()));
    Put<quint32>(file, 6, 0);
    Put<quint32>(file, 10, quint32(offset));
    std::fill(file.begin() + 14, file.begin() + 14 + infoSize, '\0');
    Put<quint32>(file, 14, infoSize);
    Put<qint32>(file, 18, width);
    Put<qint32>(file, 22, topDown ? -height : height);
    Put<quint16>(file, 26, 1);
    Put<quint16>(file, 28, 24);
    Put<quint32>(file, 30, 0);  // uncompressed
    Put<quint32>(file, 34, quint32(rowBytes * height));

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const qsizetype row = offset + (topDown ? y : height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const auto blue = input.ConsumeIntegral<quint8>();
            const auto green = input.ConsumeIntegral<quint8>();
            const auto red = input.ConsumeIntegral<quint8>();
            file[row + 3 * x] = char(blue);
            file[row + 3 * x + 1] = char(green);
            file[row + 3 * x + 2] = char(red);
            image.setPixel(x, y, qRgb(red, green, blue));
        }
    }
    return {image, file};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Picture picture = Build(input);

    const QImage read = platform::ReadBitmap(picture.file);
    FUZZ_CHECK(read == picture.image);
    const QImage qtRead = QImage::fromData(picture.file, "BMP");
    FUZZ_CHECK(qtRead.convertToFormat(QImage::Format_RGB32) == picture.image);

    // What we write is the plain form: 40-byte header, bottom row first, zero padding.
    const QByteArray written = platform::EncodeBitmap24(read);
    const qsizetype rowBytes = (qsizetype(read.width()) * 3 + 3) / 4 * 4;
    FUZZ_CHECK(written.size() == 54 + rowBytes * read.height());
    FUZZ_CHECK(qFromLittleEndian<quint32>(written.constData() + 10) == 54);
    FUZZ_CHECK(qFromLittleEndian<qint32>(written.constData() + 22) == read.height());
    FUZZ_CHECK(platform::ReadBitmap(written) == picture.image);
    for (int y = 0; y < read.height(); ++y) {
        const char* row = written.constData() + 54 + (read.height() - 1 - y) * rowBytes;
        for (qsizetype pad = qsizetype(read.width()) * 3; pad < rowBytes; ++pad) {
            FUZZ_CHECK(row[pad] == 0);
        }
    }
    return 0;
}
