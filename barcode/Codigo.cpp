// SPDX-License-Identifier: GPL-3.0-or-later
#include "barcode/Codigo.h"

#include <limits>
#include <stdexcept>
#include <string_view>

#include "barcode/Code128Patterns.h"

namespace codigo {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr int kPixels = 3;  // scale mode
constexpr std::int16_t kLineFlags = 6;
constexpr int kCheckModulus = 103;  // ISO/IEC 15417 symbol check character

enum class CodeSet { None, B, C };

// Module state shared by the encoder and the drawing; rebuilt on every call.
struct State {
    Surface* surface = nullptr;           // borrowed for the duration of one call
    std::vector<int>* emitted = nullptr;  // also receives each emitted value when set
    const std::array<std::string_view, kCode128Patterns.size()>* patterns = nullptr;
    std::string codeText;
    std::int32_t barHeight = 0;
    std::int32_t barTop = 0;
    std::int16_t showText = 0;
    std::int32_t moduleX = 0;
    CodeSet codeSet = CodeSet::None;
    std::int16_t symbolPosition = 0;
    std::int32_t checkSum = 0;
    std::int32_t checkValue = 0;
};

State state;

// Narrows `value` to the fixed width T, failing the way a fixed-width counter overflows.
template <typename T>
T Fit(std::int64_t value, const char* what) {
    if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
        throw std::overflow_error(std::string(what) + " " + std::to_string(value) +
                                  " does not fit in " + std::to_string(8 * sizeof(T)) +
                                  " signed bits");
    }
    return static_cast<T>(value);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void RefuseOutsidePreconditions(std::int16_t barHeightTens, const std::string& text) {
    if (barHeightTens < 0) {
        throw std::invalid_argument("bar height " + std::to_string(barHeightTens) + " is negative");
    }
    if (text.empty()) {
        throw std::invalid_argument("barcode text is empty");
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int code = static_cast<unsigned char>(text[i]);
        if (code < 32 || code > 126) {
            throw std::invalid_argument("barcode text has character code " + std::to_string(code) +
                                        " at position " + std::to_string(i + 1) +
                                        "; only printable ASCII (32 to 126) can be encoded");
        }
    }
}

// The patterns are constant data; code set B needs no table, since its
// characters run from space to tilde in code order (ISO/IEC 15417).
void LoadCode128Tables() {
    state.patterns = &kCode128Patterns;
}

int SetBValue(char c) {
    return static_cast<unsigned char>(c) - ' ';
}

// Draws one pattern right of the previous one, a one-pixel column per module. Spaces are
// painted white rather than skipped.
void DrawModules(std::string_view pattern) {
    for (const char module : pattern) {
        ++state.moduleX;
        const std::int32_t column = state.moduleX + 10;
        state.surface->Line(kLineFlags, column, state.barTop, column,
                            state.barHeight + state.barTop, module == '1' ? kBlack : kWhite);
    }
}

void Emit(int value) {
    if (state.emitted != nullptr) {
        state.emitted->push_back(value);
    }
    DrawModules(value == kStopSymbol ? kStopPattern : state.patterns->at(value));
}

void NextSymbolPosition() {
    state.symbolPosition = Fit<std::int16_t>(state.symbolPosition + 1, "symbol position");
}

void AddToCheckSum(std::int32_t weight) {
    state.checkSum = Fit<std::int32_t>(std::int64_t{state.checkSum} + weight, "check sum");
}

void EmitSetB(char c) {
    NextSymbolPosition();
    const int value = SetBValue(c);
    AddToCheckSum(Fit<std::int32_t>(std::int64_t{state.symbolPosition} * value, "set B product"));
    if (state.codeSet == CodeSet::None) {
        AddToCheckSum(kStartB);
        state.codeSet = CodeSet::B;
        Emit(kStartB);
    }
    Emit(value);
}

// `digits` has an even length; set C only ever ends a symbol.
void EmitSetC(std::string_view digits) {
    if (state.codeSet == CodeSet::None) {
        state.codeSet = CodeSet::C;
        AddToCheckSum(kStartC);
        Emit(kStartC);
    } else if (state.codeSet == CodeSet::B) {
        Emit(kCodeC);
        NextSymbolPosition();
        AddToCheckSum(Fit<std::int16_t>(state.symbolPosition * kCodeC, "code C product"));
        state.codeSet = CodeSet::C;
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        const int pair = (digits[i] - '0') * 10 + (digits[i + 1] - '0');
        Emit(pair);
        NextSymbolPosition();
        AddToCheckSum(Fit<std::int16_t>(state.symbolPosition * pair, "set C product"));
    }
}

void DrawLegend() {
    if (state.showText == 0) {
        return;
    }
    // Centred on the middle of the symbol with its quiet zones; real arithmetic, no rounding.
    const double textWidth = state.surface->TextWidth(state.codeText);
    state.surface->SetCurrentX((state.moduleX + 20) / 2.0 - textWidth / 2.0);
    state.surface->SetCurrentY(state.barHeight + 15);
    state.surface->Print(state.codeText);
}

// Set C serves only a run of four or more digits that ends the text; everything else,
// digits included, goes one by one in set B.
void EncodeText(const std::string& text) {
    state.checkSum = 0;
    state.codeSet = CodeSet::None;
    state.symbolPosition = 0;
    state.moduleX = 1;

    std::size_t digitRun = 0;
    const std::size_t length = text.size();
    for (std::size_t i = 0; i < length; ++i) {
        if (IsDigit(text[i])) {
            ++digitRun;
            continue;
        }
        for (std::size_t j = i - digitRun; j <= i; ++j) {
            EmitSetB(text[j]);
        }
        digitRun = 0;
    }

    std::string_view run = std::string_view(text).substr(length - digitRun);
    if (run.size() >= 4) {
        if (run.size() % 2 != 0) {
            EmitSetB(run.front());
            run.remove_prefix(1);
        }
        EmitSetC(run);
    } else {
        for (const char c : run) {
            EmitSetB(c);
        }
    }

    state.checkValue = state.checkSum % kCheckModulus;
    Emit(state.checkValue);
    Emit(kStopSymbol);
    DrawLegend();
}

void Draw(Surface& surface, std::int16_t barHeightTens, const std::string& text,
          std::int16_t showText, std::vector<int>* emitted) {
    RefuseOutsidePreconditions(barHeightTens, text);

    state = State{};
    state.surface = &surface;
    state.emitted = emitted;
    // Only borrowed: keeping the surface past the call would leave a dangling pointer.
    struct Release {
        ~Release() {
            state.surface = nullptr;
            state.emitted = nullptr;
        }
    } release;

    LoadCode128Tables();
    state.codeText = text;

    surface.ClearPicture();
    state.showText = showText;
    state.barTop = 10;
    state.barHeight = Fit<std::int16_t>(barHeightTens * 10, "bar height");

    surface.SetBackColor(kWhite);
    surface.SetAutoRedraw(true);
    surface.SetScaleMode(kPixels);

    // Surface calls kept in separate statements: their order is part of the contract.
    double height = state.barHeight + 20;
    if (state.showText != 0) {
        height = surface.TextHeight(state.codeText) + state.barHeight + 25;
    }
    surface.SetHeight(height * surface.TwipsPerPixelY());

    // Start, symbols and check at 11 modules, the 13-module stop, 12 + 11 quiet columns.
    const std::int32_t width = 25 + 11 * (std::int32_t{CountSymbols(state.codeText)} + 3);
    surface.SetWidth(width * surface.TwipsPerPixelX());

    EncodeText(state.codeText);
    surface.KeepImageAsPicture();
}

}  // namespace

std::int16_t CountSymbols(const std::string& text) {
    const std::size_t m = text.size();
    std::size_t n = 0;
    while (n < m && IsDigit(text[m - 1 - n])) {
        ++n;
    }
    std::size_t count = m;
    if (n >= 4) {
        const std::size_t c = n - n % 2;
        const std::size_t b = m - c;
        count = b + c / 2 + (b > 0 ? 1 : 0);
    }
    return Fit<std::int16_t>(static_cast<std::int64_t>(count), "symbol count");
}

void DrawBarcode(Surface& surface, std::int16_t barHeightTens, const std::string& text,
                 std::int16_t showText) {
    Draw(surface, barHeightTens, text, showText, nullptr);
}

std::vector<int> EncodeSymbols(const std::string& text) {
    DiscardingSurface discard;
    std::vector<int> emitted;
    emitted.reserve(std::size_t(CountSymbols(text)) + 3);  // start, check and stop
    Draw(discard, 0, text, 0, &emitted);
    return emitted;
}

}  // namespace codigo
