// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>
#include <span>

namespace app {

enum class Kind { Entry, MultiEntry, Label, Button, CheckBox, Line, Image, Canvas };
// The voucher's typefaces; each maps to an installed metric-compatible font.
enum class Face { SansSerif, Arial, ArialBlack };
enum class Ink { Black, System };
enum class Filter { None, Digits, Capitalize, Month };
// What leaving an amount box recomputes.
enum class OnLeave { None, ContributionUnlessEmpty, PadThenContribution, Total, PadThenTotal };

struct Twips {
    int left, top, width, height;
};

// One control of the voucher window. Positions are in twips, 15 to a pixel.
struct Control {
    const char* name;
    Kind kind;
    Twips rect;
    const char* caption = "";  // entry boxes: the voucher's caption beside them
    Qt::Alignment align = Qt::AlignLeft;
    Face face = Face::SansSerif;
    double points = 8.25;
    int weight = 400;
    bool opaque = false;
    bool framed = false;
    bool visible = true;
    Ink ink = Ink::Black;
    int maxLength = 0;  // 0: no limit
    int tabIndex = -1;  // focusable controls only
    Filter filter = Filter::None;
    OnLeave onLeave = OnLeave::None;
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 10050;
inline constexpr int kClientHeight = 10620;

// Every control, in stacking order: an earlier one covers a later one.
std::span<const Control> VoucherControls();

// An entry box and the print label under it that shows its text on paper.
struct PrintPair {
    const char* box;
    const char* label;
};
std::span<const PrintPair> PrintPairs();
// The labels set in bold for printing, in the order they are switched.
std::span<const char* const> BoldWhilePrinting();
// The controls whose frames are removed for printing, in order.
std::span<const char* const> FramedForEntry();

// What a screen reader calls a control: what it holds, in words. The captions
// on the voucher are shared (pesos and cents under one heading) or missing
// (the date line, the computed amounts), so they cannot serve.
struct AccessibleName {
    const char* control;
    const char* name;
};
std::span<const AccessibleName> AccessibleNames();

}  // namespace app
