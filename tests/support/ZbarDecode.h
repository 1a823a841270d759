// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <string>
#include <vector>

// Every Code 128 symbol zbar finds in `image`, as the bytes it decodes to. zbar is an
// independent decoder, so a match proves the symbol, not just our own reading of it.
std::vector<std::string> DecodeBarcodes(const QImage& image);
