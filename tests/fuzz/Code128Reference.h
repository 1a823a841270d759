// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

// Reads a list of Code 128 symbol values back as text, written apart from the encoder: start
// (104 set B, 105 set C), data and code set switches, the check symbol, the stop (106). Only
// code sets B and C are known. std::nullopt when the list is no valid symbol.
inline std::optional<std::string> ReadSymbolValues(const std::vector<int>& values) {
    constexpr int kCodeB = 100;
    constexpr int kCodeC = 99;
    constexpr int kStartB = 104;
    constexpr int kStartC = 105;
    constexpr int kStop = 106;
    if (values.size() < 4 || values.back() != kStop) {
        return std::nullopt;
    }
    bool setC = values.front() == kStartC;
    if (!setC && values.front() != kStartB) {
        return std::nullopt;
    }
    // ISO/IEC 15417: the check value is the start value plus each symbol value times its
    // position, modulo 103.
    long long sum = values.front();
    std::string text;
    const std::size_t checkAt = values.size() - 2;
    for (std::size_t i = 1; i < checkAt; ++i) {
        const int value = values[i];
        sum += static_cast<long long>(i) * value;
        if (setC && value <= 99) {
            text += char('0' + value / 10);
            text += char('0' + value % 10);
        } else if (setC && value == kCodeB) {
            setC = false;
        } else if (!setC && value <= 95) {
            text += char(' ' + value);
        } else if (!setC && value == kCodeC) {
            setC = true;
        } else {
            return std::nullopt;
        }
    }
    if (values[checkAt] != sum % 103) {
        return std::nullopt;
    }
    return text;
}

// Whether zbar can read the symbol of `text` back whole: it keeps lengths in 8 bits and gives
// nothing, or a cut text, from 253 characters on.
inline bool ZbarCanRead(const std::string& text) {
    return text.size() <= 250;
}
