// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

namespace codigo {

// The Code 128 symbol character table of ISO/IEC 15417: symbol value v is a pattern of 11
// modules, "1" a bar and "0" a space, leftmost module first.
inline constexpr std::array<std::string_view, 106> kCode128Patterns = {
    "11011001100",  //   0  set B space, set C 00
    "11001101100",  //   1  set B !, set C 01
    "11001100110",  //   2  set B ", set C 02
    "10010011000",  //   3  set B #, set C 03
    "10010001100",  //   4  set B $, set C 04
    "10001001100",  //   5  set B %, set C 05
    "10011001000",  //   6  set B &, set C 06
    "10011000100",  //   7  set B ', set C 07
    "10001100100",  //   8  set B (, set C 08
    "11001001000",  //   9  set B ), set C 09
    "11001000100",  //  10  set B *, set C 10
    "11000100100",  //  11  set B +, set C 11
    "10110011100",  //  12  set B ,, set C 12
    "10011011100",  //  13  set B -, set C 13
    "10011001110",  //  14  set B ., set C 14
    "10111001100",  //  15  set B /, set C 15
    "10011101100",  //  16  set B 0, set C 16
    "10011100110",  //  17  set B 1, set C 17
    "11001110010",  //  18  set B 2, set C 18
    "11001011100",  //  19  set B 3, set C 19
    "11001001110",  //  20  set B 4, set C 20
    "11011100100",  //  21  set B 5, set C 21
    "11001110100",  //  22  set B 6, set C 22
    "11101101110",  //  23  set B 7, set C 23
    "11101001100",  //  24  set B 8, set C 24
    "11100101100",  //  25  set B 9, set C 25
    "11100100110",  //  26  set B :, set C 26
    "11101100100",  //  27  set B ;, set C 27
    "11100110100",  //  28  set B <, set C 28
    "11100110010",  //  29  set B =, set C 29
    "11011011000",  //  30  set B >, set C 30
    "11011000110",  //  31  set B ?, set C 31
    "11000110110",  //  32  set B @, set C 32
    "10100011000",  //  33  set B A, set C 33
    "10001011000",  //  34  set B B, set C 34
    "10001000110",  //  35  set B C, set C 35
    "10110001000",  //  36  set B D, set C 36
    "10001101000",  //  37  set B E, set C 37
    "10001100010",  //  38  set B F, set C 38
    "11010001000",  //  39  set B G, set C 39
    "11000101000",  //  40  set B H, set C 40
    "11000100010",  //  41  set B I, set C 41
    "10110111000",  //  42  set B J, set C 42
    "10110001110",  //  43  set B K, set C 43
    "10001101110",  //  44  set B L, set C 44
    "10111011000",  //  45  set B M, set C 45
    "10111000110",  //  46  set B N, set C 46
    "10001110110",  //  47  set B O, set C 47
    "11101110110",  //  48  set B P, set C 48
    "11010001110",  //  49  set B Q, set C 49
    "11000101110",  //  50  set B R, set C 50
    "11011101000",  //  51  set B S, set C 51
    "11011100010",  //  52  set B T, set C 52
    "11011101110",  //  53  set B U, set C 53
    "11101011000",  //  54  set B V, set C 54
    "11101000110",  //  55  set B W, set C 55
    "11100010110",  //  56  set B X, set C 56
    "11101101000",  //  57  set B Y, set C 57
    "11101100010",  //  58  set B Z, set C 58
    "11100011010",  //  59  set B [, set C 59
    "11101111010",  //  60  set B \, set C 60
    "11001000010",  //  61  set B ], set C 61
    "11110001010",  //  62  set B ^, set C 62
    "10100110000",  //  63  set B _, set C 63
    "10100001100",  //  64  set B `, set C 64
    "10010110000",  //  65  set B a, set C 65
    "10010000110",  //  66  set B b, set C 66
    "10000101100",  //  67  set B c, set C 67
    "10000100110",  //  68  set B d, set C 68
    "10110010000",  //  69  set B e, set C 69
    "10110000100",  //  70  set B f, set C 70
    "10011010000",  //  71  set B g, set C 71
    "10011000010",  //  72  set B h, set C 72
    "10000110100",  //  73  set B i, set C 73
    "10000110010",  //  74  set B j, set C 74
    "11000010010",  //  75  set B k, set C 75
    "11001010000",  //  76  set B l, set C 76
    "11110111010",  //  77  set B m, set C 77
    "11000010100",  //  78  set B n, set C 78
    "10001111010",  //  79  set B o, set C 79
    "10100111100",  //  80  set B p, set C 80
    "10010111100",  //  81  set B q, set C 81
    "10010011110",  //  82  set B r, set C 82
    "10111100100",  //  83  set B s, set C 83
    "10011110100",  //  84  set B t, set C 84
    "10011110010",  //  85  set B u, set C 85
    "11110100100",  //  86  set B v, set C 86
    "11110010100",  //  87  set B w, set C 87
    "11110010010",  //  88  set B x, set C 88
    "11011011110",  //  89  set B y, set C 89
    "11011110110",  //  90  set B z, set C 90
    "11110110110",  //  91  set B {, set C 91
    "10101111000",  //  92  set B |, set C 92
    "10100011110",  //  93  set B }, set C 93
    "10001011110",  //  94  set B ~, set C 94
    "10111101000",  //  95  set B DEL, set C 95
    "10111100010",  //  96  set B FNC 3, set C 96
    "11110101000",  //  97  set B FNC 2, set C 97
    "11110100010",  //  98  set B Shift, set C 98
    "10111011110",  //  99  set B Code C, set C 99
    "10111101110",  // 100  set B FNC 4, set C Code B
    "11101011110",  // 101  Code A
    "11110101110",  // 102  FNC 1
    "11010000100",  // 103  Start A
    "11010010000",  // 104  Start B
    "11010011100",  // 105  Start C
};

// The stop character with its closing two-module bar (ISO/IEC 15417), 13 modules.
inline constexpr std::string_view kStopPattern = "1100011101011";

inline constexpr int kCodeC = 99;
inline constexpr int kStartB = 104;
inline constexpr int kStartC = 105;

namespace detail {

// Every symbol character is three bars and three spaces over 11 modules, starts with a bar,
// and has an even number of bar modules (the parity rule of ISO/IEC 15417).
constexpr bool IsSymbolCharacter(std::string_view p) {
    if (p.size() != 11 || p.front() != '1' || p.back() != '0' ||
        p.find_first_not_of("01") != std::string_view::npos) {
        return false;
    }
    int runs = 1;
    for (std::size_t i = 1; i < p.size(); ++i) {
        runs += p[i] != p[i - 1];
    }
    return runs == 6 && std::ranges::count(p, '1') % 2 == 0;
}

constexpr bool AllDistinct() {
    for (std::size_t i = 0; i < kCode128Patterns.size(); ++i) {
        for (std::size_t j = i + 1; j < kCode128Patterns.size(); ++j) {
            if (kCode128Patterns[i] == kCode128Patterns[j]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace detail

static_assert(std::ranges::all_of(kCode128Patterns, detail::IsSymbolCharacter));
static_assert(detail::AllDistinct());

}  // namespace codigo
