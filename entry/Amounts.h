// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace entry {

// An amount as the voucher shows it: whole pesos and exactly two cents digits.
struct Amount {
    QString pesos;
    QString cents;
    bool operator==(const Amount&) const = default;
};

// 1.5 % of the payroll, truncated to the cent. The payroll is held as a
// 32-bit float and the rate applied in double precision; the cents come out
// through x1000 and div 10. Those floating-point steps decide the last cent
// (76.00 gives 1,13), and printed vouchers must keep agreeing with them.
Amount ComputeContribution(const QString& payrollPesos, const QString& payrollCents);

// Both are defined on any text: every figure is read through LeadingNumber,
// whose limit keeps the arithmetic inside 64-bit integers.

// Contribution + surcharge + other concepts, the cents carried into pesos.
Amount ComputeTotal(const Amount& contribution, const Amount& surcharge, const Amount& others);

// Trims blanks and puts zeros in front up to `width` characters, letting the
// window handle its pending events before each zero. A text already longer
// than `width` comes back trimmed but otherwise unchanged.
QString PadZeros(const QString& text, std::uint8_t width,
                 const std::function<void()>& processEvents = {});

}  // namespace entry
