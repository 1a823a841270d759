// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KeyEvents.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTextCursor>

#include "entry/KeyFilters.h"

namespace app {

namespace {
// A character no rule admits in a digit box nor capitalises: stands for a
// key whose text is more than one character (a surrogate pair, a compose).
constexpr int kOtherCharacter = 0xFFFD;

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// Closes the single-line box's current undo step, as its own paste does
// before and after the text it puts in; otherwise characters put in one by
// one join the typing before them, and one undo takes both away. The box
// closes a step whenever its cursor moves, so the cursor steps aside and
// back, and a selection is made again as it was.
void CloseUndoStep(QLineEdit& line) {
    const int length = int(line.text().size());
    if (length == 0) {
        return;  // nothing for the next text to join
    }
    const int cursor = line.cursorPosition();
    const int selectionStart = line.selectionStart();
    const int selectionLength = int(line.selectedText().size());
    line.setCursorPosition(cursor > 0 ? cursor - 1 : cursor + 1);
    if (selectionStart < 0 || selectionLength == 0) {
        line.setCursorPosition(cursor);
    } else if (cursor == selectionStart) {
        line.setSelection(selectionStart + selectionLength, -selectionLength);
    } else {
        line.setSelection(selectionStart, selectionLength);
    }
}
}  // namespace

int KeyCodeOf(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (event.matches(QKeySequence::Copy) ||
        (key == Qt::Key_Insert && mods == Qt::ControlModifier)) {
        return entry::kCopy;
    }
    if (event.matches(QKeySequence::Cut) || (key == Qt::Key_Delete && mods == Qt::ShiftModifier)) {
        return entry::kCut;
    }
    if (event.matches(QKeySequence::Paste) ||
        (key == Qt::Key_Insert && mods == Qt::ShiftModifier)) {
        return entry::kPaste;
    }
    if (key == Qt::Key_Backspace) {
        return entry::kBackspace;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        return entry::kEnter;
    }
    const QString text = event.text();
    if (text.isEmpty() || text[0].category() == QChar::Other_Control) {
        return -1;
    }
    // The boxes insert a key's text unless exactly Ctrl or Ctrl+Shift is held
    // (those are shortcuts); formatting characters go in even then.
    const Qt::KeyboardModifiers held = event.modifiers();
    if ((held == Qt::ControlModifier || held == (Qt::ControlModifier | Qt::ShiftModifier)) &&
        text[0].category() != QChar::Other_Format) {
        return -1;
    }
    return text.size() == 1 ? text[0].unicode() : kOtherCharacter;
}

KeyFilter::KeyFilter(QWidget* box, Rule rule)
    : QObject(box), box_(box), surface_(box), rule_(std::move(rule)) {
    if (auto* multi = qobject_cast<QPlainTextEdit*>(box_)) {
        surface_ = multi->viewport();
    }
    box_->installEventFilter(this);
    if (surface_ != box_) {
        surface_->installEventFilter(this);
    }
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if ((watched != box_ && watched != surface_) || replaying_) {
        return false;
    }
    switch (event->type()) {
        case QEvent::KeyPress:
            return watched == box_ && FilterKey(static_cast<QKeyEvent&>(*event));
        case QEvent::InputMethod:
            return watched == box_ && FilterInputMethod(static_cast<QInputMethodEvent&>(*event));
        case QEvent::ContextMenu:
            return ShowContextMenu(static_cast<QContextMenuEvent&>(*event));
        case QEvent::MouseButtonRelease:
            return watched == surface_ && PasteSelection(static_cast<QMouseEvent&>(*event));
        case QEvent::Drop:
            return watched == surface_ && Drop(watched, static_cast<QDropEvent&>(*event));
        default:
            return false;
    }
}

bool KeyFilter::FilterKey(QKeyEvent& press) {
    const int code = KeyCodeOf(press);
    if (code < 0) {
        return false;
    }
    const int result = rule_(TextOf(box_), code);
    if (code == entry::kPaste && result == entry::kPaste) {
        // The clipboard's text is typed in rather than pasted whole.
        Type(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
        return true;
    }
    if (result == code) {
        return false;
    }
    if (result != entry::kDiscard) {
        QKeyEvent changed(QEvent::KeyPress, press.key(), Qt::NoModifier,
                          QString(QChar(char16_t(result))), press.isAutoRepeat(), press.count());
        QScopedValueRollback guard(replaying_, true);
        QCoreApplication::sendEvent(box_, &changed);
    }
    return true;
}

bool KeyFilter::FilterInputMethod(QInputMethodEvent& input) {
    if (input.commitString().isEmpty()) {
        return false;  // composition still going on: only shown, not yet in the text
    }
    // The box ends the composition with nothing committed; the committed
    // text then comes in through the rule.
    QInputMethodEvent ended(input.preeditString(), input.attributes());
    {
        QScopedValueRollback guard(replaying_, true);
        QCoreApplication::sendEvent(box_, &ended);
    }
    // Typing, as the box's own input method handling treats it: a
    // single-line box keeps it in the same undo step as the keys before.
    Type(input.commitString(), UndoStep::Typing);
    return true;
}

QMenu* KeyFilter::CreateContextMenu(const QPoint& position) {
    QMenu* menu = nullptr;
    if (auto* line = qobject_cast<QLineEdit*>(box_)) {
        menu = line->createStandardContextMenu();
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(box_)) {
        menu = multi->createStandardContextMenu(position);
    }
    if (!menu) {
        return nullptr;
    }
    // The entry is known by its text, translated as the box translates it.
    const QString pasteText = qobject_cast<QLineEdit*>(box_)
                                  ? QCoreApplication::translate("QLineEdit", "&Paste")
                                  : QCoreApplication::translate("QWidgetTextControl", "&Paste");
    for (QAction* action : menu->actions()) {
        if (action->text().section(u'\t', 0, 0) == pasteText) {
            QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
            connect(action, &QAction::triggered, this,
                    [this] { Type(QGuiApplication::clipboard()->text(QClipboard::Clipboard)); });
        }
    }
    if (!extraActions_.isEmpty()) {
        menu->addSeparator();
        menu->addActions(extraActions_);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

bool KeyFilter::ShowContextMenu(const QContextMenuEvent& request) {
    QMenu* menu = CreateContextMenu(request.pos());
    if (!menu) {
        return false;
    }
    menu->popup(request.globalPos());
    return true;
}

bool KeyFilter::PasteSelection(const QMouseEvent& release) {
    if (release.button() != Qt::MiddleButton ||
        !QGuiApplication::clipboard()->supportsSelection()) {
        return false;
    }
    // The press already put the cursor under the pointer.
    if (auto* line = qobject_cast<QLineEdit*>(box_)) {
        line->deselect();
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(box_)) {
        multi->setTextCursor(multi->cursorForPosition(release.position().toPoint()));
    }
    Type(QGuiApplication::clipboard()->text(QClipboard::Selection));
    return true;
}

bool KeyFilter::Drop(QObject* watched, QDropEvent& drop) {
    // Text moved within a multi-line box has been through the rule already.
    if (drop.source() == box_ || drop.source() == surface_ || !drop.mimeData()->hasText()) {
        return false;
    }
    QDragLeaveEvent leave;  // clears the drop caret the drag drew
    QCoreApplication::sendEvent(watched, &leave);
    const QPoint at = drop.position().toPoint();
    if (auto* line = qobject_cast<QLineEdit*>(box_)) {
        line->setCursorPosition(line->cursorPositionAt(at));
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(box_)) {
        multi->setTextCursor(multi->cursorForPosition(at));
    }
    Type(drop.mimeData()->text());
    // A copy, never a move: the source keeps what the box refused.
    drop.setDropAction(Qt::CopyAction);
    drop.accept();
    return true;
}

void KeyFilter::Type(const QString& text, UndoStep step) {
    auto* line = qobject_cast<QLineEdit*>(box_);
    auto* multi = qobject_cast<QPlainTextEdit*>(box_);
    if (!line && !multi) {
        return;
    }
    // A multi-line box undoes an edit block at once; a single-line box needs
    // its step closed before and after.
    const bool closeSteps = line && step == UndoStep::Own;
    QTextCursor cursor;
    if (multi) {
        cursor = multi->textCursor();
        cursor.beginEditBlock();
    } else if (closeSteps) {
        CloseUndoStep(*line);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        QString typed(c);
        int code = c.unicode();
        if (IsLineBreak(c)) {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
            if (!multi) {
                continue;
            }
            code = entry::kEnter;
            typed = QStringLiteral("\n");
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            typed = text.mid(i, 2);
            code = kOtherCharacter;
            ++i;
        } else if (c.category() == QChar::Other_Control || c.isSurrogate()) {
            continue;  // no key types these
        }
        const int result = rule_(TextOf(box_), code);
        if (result == entry::kDiscard) {
            continue;
        }
        if (result != code) {
            typed = QString(QChar(char16_t(result)));
        }
        if (line) {
            line->insert(typed);
        } else {
            cursor.insertText(typed);
        }
    }
    if (multi) {
        cursor.endEditBlock();
        multi->setTextCursor(cursor);
    } else if (closeSteps) {
        CloseUndoStep(*line);
    }
}

QString TextOf(const QWidget* control) {
    if (auto* line = qobject_cast<const QLineEdit*>(control)) {
        return line->text();
    }
    if (auto* multi = qobject_cast<const QPlainTextEdit*>(control)) {
        return multi->toPlainText();
    }
    if (auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    return {};
}

void SetTextOf(QWidget* control, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(text);
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(control)) {
        multi->setPlainText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    }
}

}  // namespace app
