// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Captions.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>
#include <string_view>

namespace app {

namespace {
// Narrower than this reads as squeezed; a caption still too long is left to
// the layout's own fault rather than made illegible.
constexpr int kNarrowestStretch = 65;

int Pixels(int twips) {
    return twips / kTwipsPerPixel;
}
}  // namespace

const Control* LabelledBox(const Control& caption, int lineHeight) {
    const int left = Pixels(caption.rect.left);
    const int top = Pixels(caption.rect.top);
    const Control* nearest = nullptr;
    for (const Control& box : VoucherControls()) {
        if (box.kind != Kind::Entry && box.kind != Kind::MultiEntry && box.kind != Kind::CheckBox) {
            continue;
        }
        const int boxLeft = Pixels(box.rect.left);
        const int boxTop = Pixels(box.rect.top);
        const int boxBottom = boxTop + std::max(1, Pixels(box.rect.height));
        // A box covering the middle of the caption's line; one that merely
        // touches its top or bottom row labels another line.
        const int middle = top + lineHeight / 2;
        if (boxLeft <= left || middle < boxTop || middle >= boxBottom) {
            continue;
        }
        if (!nearest || boxLeft < Pixels(nearest->rect.left)) {
            nearest = &box;
        }
    }
    return nearest;
}

int CaptionEdge(const Control& caption, int lineHeight) {
    const Control* box = LabelledBox(caption, lineHeight);
    if (!box) {
        return -1;
    }
    int edge = Pixels(box->rect.left);
    // The box's text goes on paper in its print label, which may start
    // further left than the box ("de 20" and the deposit year).
    for (const PrintPair& pair : PrintPairs()) {
        if (std::string_view(pair.box) != box->name) {
            continue;
        }
        for (const Control& label : VoucherControls()) {
            if (std::string_view(label.name) == pair.label) {
                edge = std::min(edge, Pixels(label.rect.left));
            }
        }
    }
    return edge;
}

QFont NarrowedToFit(QFont font, const QString& text, int room, int wrapWidth) {
    for (int stretch = 100; stretch >= kNarrowestStretch; --stretch) {
        font.setStretch(stretch);
        const QFontMetrics metrics(font);
        const int widest =
            wrapWidth > 0
                ? metrics.boundingRect(QRect(0, 0, wrapWidth, 1000), Qt::TextWordWrap, text).width()
                : metrics.horizontalAdvance(text);
        if (widest <= room) {
            break;
        }
    }
    if (font.stretch() == 100) {
        font.setStretch(QFont::AnyStretch);  // as it was: the face's own width
    }
    return font;
}

void FitCaption(QWidget* control, const Control& row) {
    const QString caption = QString::fromUtf8(row.caption);
    if (caption.isEmpty()) {
        return;
    }
    if (row.kind == Kind::Button) {
        control->setFont(
            NarrowedToFit(control->font(), caption, control->width() - 2 * kButtonPadding));
    } else if (row.kind == Kind::Label) {
        const int lineHeight = QFontMetrics(control->font()).height();
        if (const int edge = CaptionEdge(row, lineHeight); edge >= 0) {
            const int room = edge - Pixels(row.rect.left) - kCaptionGap;
            // The label wraps its caption at its own width, so each line
            // needs the room, not the whole caption.
            control->setFont(NarrowedToFit(control->font(), caption, room, control->width()));
        }
    }
}

}  // namespace app
