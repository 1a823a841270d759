// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/FileNames.h"

#include <climits>

namespace batch {

QString NumberedName(const QString& proposed, int attempt) {
    if (attempt <= 1) {
        return proposed;
    }
    const qsizetype dot = proposed.lastIndexOf(u'.');
    const QString stem = dot > 0 ? proposed.left(dot) : proposed;
    const QString extension = dot > 0 ? proposed.mid(dot) : QString();
    return QStringLiteral("%1 (%2)%3").arg(stem).arg(attempt).arg(extension);
}

int FirstFree(const std::function<bool(int)>& taken, int from) {
    from = std::max(from, 1);
    if (!taken(from)) {
        return from;
    }
    // Galloping: double the step until a free number is met...
    int low = from;  // taken
    int high = from + 1;
    for (int step = 1; taken(high); step = step < INT_MAX / 4 ? step * 2 : step) {
        low = high;
        if (high > INT_MAX - 2 * step) {
            return INT_MAX;
        }
        high = from + 2 * step;
    }
    // ...then halve the gap to the first free one after the taken run.
    while (high - low > 1) {
        const int middle = low + (high - low) / 2;
        if (taken(middle)) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return high;
}

}  // namespace batch
