// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "barcode/Surface.h"

// Code 128 barcodes (ISO/IEC 15417) in code sets B and C, drawn one pixel column per module.
// The symbol is drawn while it is encoded, so encoder and drawing share module state: one
// barcode must be finished before the next is begun (not re-entrant, not thread-safe).
namespace codigo {

// Stands for the stop pattern among the values EncodeSymbols returns; it follows the last
// symbol value, 105, as in the ISO/IEC 15417 symbol table.
inline constexpr int kStopSymbol = 106;

// Sizes and clears `surface`, draws `text` as a Code 128 symbol with bars
// `barHeightTens` × 10 + 1 pixels tall, prints the text under the bars when `showText` is
// non-zero, and makes the drawing the surface's picture.
// Throws std::invalid_argument, before touching the surface, for an empty text, a character
// outside printable ASCII (32 to 126) or a negative bar height. Throws std::overflow_error
// when a fixed-width counter overflows; whatever was drawn until then stays on the surface.
void DrawBarcode(Surface& surface, std::int16_t barHeightTens, const std::string& text,
                 std::int16_t showText);

// How many symbols the encoder emits for `text` between the start and the check symbol:
// data symbols plus the code set switch, if any. Throws std::overflow_error above 32767.
std::int16_t CountSymbols(const std::string& text);

// The symbol values DrawBarcode emits for `text`, in order: start, data and switch symbols,
// check symbol, kStopSymbol. Same encoder and refusals as DrawBarcode, with nothing drawn.
std::vector<int> EncodeSymbols(const std::string& text);

}  // namespace codigo
