// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/Progress.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace batch {

QString Duration(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(std::max(0.0, seconds)));
    const long long hours = whole / 3600;
    const long long minutes = whole / 60 % 60;
    const QString rest = QStringLiteral("%1:%2").arg(minutes).arg(whole % 60, 2, 10, QChar(u'0'));
    if (hours == 0) {
        return rest;
    }
    return QStringLiteral("%1:%2").arg(hours).arg(rest.rightJustified(5, u'0'));
}

QString ProgressBar(int done, int total, double elapsedSeconds, int width) {
    const double rate = elapsedSeconds > 0 ? done / elapsedSeconds : 0;
    // Decimal comma, as the rest of the program writes numbers.
    const QString rateText = QString::number(rate, 'f', 1).replace(u'.', u',');
    const QString left = rate > 0 ? Duration((total - done) / rate) : QStringLiteral("?");
    const QString counts =
        QStringLiteral(" %1/%2  %3/s  quedan %4").arg(done).arg(total).arg(rateText, left);
    const int barWidth = std::max(0, width - static_cast<int>(counts.size()) - 2);
    const int filled = total > 0 ? static_cast<int>(static_cast<long long>(barWidth) *
                                                    std::clamp(done, 0, total) / total)
                                 : barWidth;
    const QString bar = barWidth > 0 ? QStringLiteral("[%1%2]").arg(
                                           QString(filled, u'#'), QString(barWidth - filled, u'.'))
                                     : QString();
    return (bar + counts).left(std::max(width, 0));
}

}  // namespace batch
