// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>
#include <optional>

#include "app/Layout.h"

class QWidget;

namespace app {

// Clear pixels kept between a caption's last letter and the box it labels,
// on the screen and on paper.
inline constexpr int kCaptionGap = 3;
// Clear pixels kept between a button's caption and each of its sides.
inline constexpr int kButtonPadding = 6;

// The box a caption labels: the nearest entry box or check box to its right
// that covers the middle of its first line (`lineHeight` pixels from its
// top). Those boxes
// lie over the captions, and the print labels under them start no further
// left, so the caption must end before it.
const Control* LabelledBox(const Control& caption, int lineHeight);

// Where a caption must end before, on the screen and on paper: the start of
// the box it labels or of that box's print label, whichever is further
// left; -1 when it labels no box.
int CaptionEdge(const Control& caption, int lineHeight);

// `font` narrowed (stretched across, its height kept) just enough for `text`
// to take at most `room` pixels: on one line, or in each of its lines when
// wrapped at `wrapWidth` (> 0); as it was when it fits already.
QFont NarrowedToFit(QFont font, const QString& text, int room, int wrapWidth = 0);

// Narrows the font of a caption that would run under the box it labels, and
// of a button's caption that would touch its sides.
void FitCaption(QWidget* control, const Control& row);

}  // namespace app
