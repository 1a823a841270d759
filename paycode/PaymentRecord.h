// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace paycode {

// The payment code's four fixed-width fields, back to back: "5247", the
// C.U.I.T., the total's pesos (6) and its cents (2). A value stored into a
// field is left-aligned, blank-filled on the right and cut to the width.
template <std::size_t Width>
struct Field {
    std::array<char16_t, Width> chars{};  // a blank record is all NUL

    void Store(const QString& value) {
        for (std::size_t i = 0; i < Width; ++i) {
            chars[i] =
                i < static_cast<std::size_t>(value.size()) ? value[qsizetype(i)].unicode() : u' ';
        }
    }
    QString Text() const { return QString(reinterpret_cast<const QChar*>(chars.data()), Width); }
};

struct PaymentRecord {
    Field<4> prefix;
    Field<11> cuit;
    Field<6> total;
    Field<2> totalCents;
};

// What the record is filled from. `staff` is the staff count box, which the
// fill gives its default "0" when it reads as zero.
struct PaymentSources {
    QString cuit;
    QString staff;
    QString total;
    QString totalCents;
};

// Fills every field; `processEvents` is handed to the zero fill.
void FillPaymentRecord(PaymentRecord& record, PaymentSources& sources,
                       const std::function<void()>& processEvents = {});

// The 23-character code text: the fields joined exactly as stored.
QString ComposeCodeText(const PaymentRecord& record);

}  // namespace paycode
