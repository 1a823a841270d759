// SPDX-License-Identifier: GPL-3.0-or-later
// The Code 128 encoder and its drawing on any text: a text is refused before anything is drawn,
// or its symbol reads back as exactly the text, by our reference reading of the symbol values,
// module by module on the picture, and through zbar.
#include <QGuiApplication>
#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "Code128Reference.h"
#include "FuzzInput.h"
#include "ZbarDecode.h"
#include "barcode/Code128Patterns.h"
#include "barcode/Codigo.h"
#include "barcode/ImageSurface.h"

namespace {

// Counts what the drawing does to the surface.
class CountingSurface : public codigo::DiscardingSurface {
  public:
    int calls = 0;
    void ClearPicture() override { ++calls; }
    void SetBackColor(std::uint32_t) override { ++calls; }
    void SetHeight(double) override { ++calls; }
    void SetWidth(double) override { ++calls; }
    void Line(std::int16_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
              std::uint32_t) override {
        ++calls;
    }
    void KeepImageAsPicture() override { ++calls; }
};

bool Encodable(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

void CheckRefused(const std::string& text, std::int16_t barHeightTens) {
    bool refused = false;
    try {
        codigo::EncodeSymbols(text);
    } catch (const std::invalid_argument&) {
        refused = true;
    }
    FUZZ_CHECK(refused);
    // Refused before the surface is touched: no half drawing is left behind.
    CountingSurface surface;
    refused = false;
    try {
        codigo::DrawBarcode(surface, barHeightTens, text, 1);
    } catch (const std::invalid_argument&) {
        refused = true;
    }
    FUZZ_CHECK(refused && surface.calls == 0);
}

// The bars as drawn: one pixel column per module, from column 12 on, black for a bar.
std::string DrawnModules(const QImage& picture, int row, int count) {
    std::string modules;
    for (int x = 12; x < 12 + count && x < picture.width(); ++x) {
        modules += qGray(picture.pixel(x, row)) < 128 ? '1' : '0';
    }
    return modules;
}

void CheckDrawing(const std::string& text, const std::vector<int>& symbols,
                  std::int16_t barHeightTens, std::int16_t showText) {
    codigo::ImageSurface surface;
    codigo::DrawBarcode(surface, barHeightTens, text, showText);
    const QImage& picture = surface.picture();

    // Start, data and check at 11 modules, the 13-module stop, 12 and 11 quiet columns.
    const int modules = int(symbols.size() - 1) * 11 + 13;
    FUZZ_CHECK(picture.width() == 12 + modules + 11);
    std::string expected;
    for (const int value : symbols) {
        expected += value == codigo::kStopSymbol ? codigo::kStopPattern
                                                 : codigo::kCode128Patterns.at(std::size_t(value));
    }
    const int barHeight = barHeightTens * 10;
    for (const int row : {10, 10 + barHeight / 2, 10 + barHeight}) {
        FUZZ_CHECK(DrawnModules(picture, row, modules) == expected);
    }
    // Quiet zones stay white above, beside and below the bars.
    for (const int x : {0, 11, 12 + modules, picture.width() - 1}) {
        FUZZ_CHECK(picture.pixel(x, 10) == qRgb(255, 255, 255));
    }
    FUZZ_CHECK(DrawnModules(picture, 9, modules) == std::string(std::size_t(modules), '0'));

    // An independent reader finds exactly one symbol, and it is the text. Bars one pixel tall
    // are no symbol to scan, and zbar keeps a symbol's length in 8 bits (from 253 characters on
    // it reads nothing or a cut text): those are checked module by module only.
    if (barHeightTens == 0 || !ZbarCanRead(text)) {
        return;
    }
    const std::vector<std::string> decoded = DecodeBarcodes(picture);
    if (decoded.size() != 1 || decoded.front() != text) {
        std::fprintf(stderr, "zbar read %zu symbol(s): \"%s\"\n", decoded.size(),
                     decoded.empty() ? "" : decoded.front().c_str());
        Fail(__FILE__, __LINE__, "zbar reads back the text");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

// The first byte picks the bar height (tens of pixels, 0 to 7), whether the text is printed
// under the bars, and whether the rest is taken as it is or folded into printable ASCII (so that
// most runs reach the drawing); the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const auto barHeightTens = std::int16_t(data[0] % 8);
    const auto showText = std::int16_t(data[0] & 0x80 ? 1 : 0);
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 0x40) {
        for (char& c : text) {
            c = char(' ' + static_cast<unsigned char>(c) % 95);
        }
    }

    if (!Encodable(text)) {
        CheckRefused(text, barHeightTens);
        return 0;
    }
    std::vector<int> symbols;
    try {
        symbols = codigo::EncodeSymbols(text);
    } catch (const std::overflow_error&) {
        // The fixed-width check sum refuses very long texts only, never a payment code.
        FUZZ_CHECK(text.size() > 330);
        return 0;
    }
    FUZZ_CHECK(ReadSymbolValues(symbols) == text);
    FUZZ_CHECK(symbols.size() == std::size_t(codigo::CountSymbols(text)) + 3);
    // Code set C only ever carries a run of four or more digits that ends the text.
    const auto switchToC = std::find(symbols.begin(), symbols.end(), 99);
    if (symbols.front() == 105 || switchToC < symbols.end() - 2) {
        std::size_t digits = 0;
        while (digits < text.size() &&
               std::isdigit(static_cast<unsigned char>(text[text.size() - 1 - digits]))) {
            ++digits;
        }
        FUZZ_CHECK(digits >= 4);
    }
    CheckDrawing(text, symbols, barHeightTens, showText);
    return 0;
}
