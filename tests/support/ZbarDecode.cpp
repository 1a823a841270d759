// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZbarDecode.h"

#include <zbar.h>

#include <QPainter>
#include <memory>

namespace {

// zbar's edge detector smooths over bars and spaces one pixel wide and misreads about a fifth
// of our symbols; at two or three pixels per module it reads them all. Doubling every column,
// nearest neighbour, hands it the same symbol, module for module, two pixels per module.
constexpr int kColumnsPerPixel = 2;

// Our barcodes keep 12 and 11 blank columns beside the symbol, just over the 10 modules
// ISO/IEC 15417 asks for; a wider white margin keeps zbar's scan away from the image border.
constexpr int kMargin = 40;

QImage Prepared(const QImage& image) {
    // Columns repeated, not blended (the default, fast transformation).
    const QImage wide = image.scaled(image.width() * kColumnsPerPixel, image.height());
    QImage grey(wide.width() + 2 * kMargin, wide.height() + 2 * kMargin, QImage::Format_Grayscale8);
    grey.fill(Qt::white);
    QPainter(&grey).drawImage(kMargin, kMargin, wide);
    return grey;
}

}  // namespace

std::vector<std::string> DecodeBarcodes(const QImage& image) {
    using namespace zbar;  // under C++, zbar.h declares its C API in namespace zbar
    if (image.isNull()) {
        return {};
    }
    const QImage grey = Prepared(image);
    const auto width = static_cast<unsigned>(grey.width());
    const auto height = static_cast<unsigned>(grey.height());

    // Y800 is one byte per pixel with no row padding; QImage rows are 32-bit aligned.
    std::vector<unsigned char> pixels(std::size_t{width} * height);
    for (unsigned y = 0; y < height; ++y) {
        std::copy_n(grey.constScanLine(static_cast<int>(y)), width, &pixels[y * width]);
    }

    const std::unique_ptr<zbar_image_scanner_t, decltype(&zbar_image_scanner_destroy)> scanner(
        zbar_image_scanner_create(), &zbar_image_scanner_destroy);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_CODE128, ZBAR_CFG_ENABLE, 1);

    const std::unique_ptr<zbar_image_t, decltype(&zbar_image_destroy)> zimage(zbar_image_create(),
                                                                              &zbar_image_destroy);
    zbar_image_set_format(zimage.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(zimage.get(), width, height);
    zbar_image_set_data(zimage.get(), pixels.data(), pixels.size(), nullptr);

    std::vector<std::string> found;
    if (zbar_scan_image(scanner.get(), zimage.get()) > 0) {
        for (const zbar_symbol_t* symbol = zbar_image_first_symbol(zimage.get()); symbol != nullptr;
             symbol = zbar_symbol_next(symbol)) {
            found.emplace_back(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
        }
    }
    return found;
}
