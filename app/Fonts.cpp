// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Fonts.h"

#include <QtMath>

namespace app {

QFont VoucherFont(Face face, double points, int weight) {
    // Liberation Sans is metric-compatible with Arial and close to the old
    // MS Sans Serif; Arial Black becomes its heaviest weight.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(qRound(points * 96.0 / 72.0));
    font.setWeight(face == Face::ArialBlack ? QFont::Black : QFont::Weight(weight));
    return font;
}

}  // namespace app
