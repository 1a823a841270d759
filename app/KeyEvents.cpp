#include "app/KeyEvents.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include "entry/KeyFilters.h"

namespace app {

namespace {
// A character no rule admits in a digit box nor capitalises: stands for a
// key whose text is more than one character (a surrogate pair, a compose).
constexpr int kOtherCharacter = 0xFFFD;
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
    if (mods & (Qt::ControlModifier | Qt::MetaModifier)) {
        return -1;
    }
    const QString text = event.text();
    if (text.isEmpty() || text[0].unicode() < 0x20 || text[0].unicode() == 0x7F) {
        return -1;
    }
    return text.size() == 1 ? text[0].unicode() : kOtherCharacter;
}

KeyFilter::KeyFilter(QWidget* box, Rule rule) : QObject(box), box_(box), rule_(std::move(rule)) {
    box_->setAttribute(Qt::WA_InputMethodEnabled, false);
    box_->installEventFilter(this);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(box_)) {
        edit->viewport()->setAttribute(Qt::WA_InputMethodEnabled, false);
    }
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_ || event->type() != QEvent::KeyPress || replaying_) {
        return false;
    }
    auto& press = static_cast<QKeyEvent&>(*event);
    const int code = KeyCodeOf(press);
    if (code < 0) {
        return false;
    }
    const int result = rule_(TextOf(box_), code);
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
