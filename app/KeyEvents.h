// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QContextMenuEvent;
class QMenu;
class QPoint;
class QDropEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;

namespace app {

// The key code an entry box's filter sees for a key press, or -1 for a key
// that types no character (arrows, Delete, Tab, function keys, Ctrl and
// Ctrl+Shift shortcuts), which is never filtered. Derived from key() and
// modifiers rather than text() alone, because X11 and the offscreen platform
// give different texts for the same Ctrl+V or Delete. A combination that
// the box would type as text (Ctrl+Alt, AltGr, Super) is a typed character.
int KeyCodeOf(const QKeyEvent& event);

// Runs a box's key rule on every character that enters it, by whichever
// route: key presses, input-method text (dead keys, compose), paste by
// shortcut or context menu, the middle button's selection, drag and drop.
// A key is dropped (code 0), passed on, or replaced by the changed
// character; other text is taken character by character as if typed, and a
// single-line box drops its line breaks.
class KeyFilter : public QObject {
    Q_OBJECT
  public:
    using Rule = std::function<int(const QString& current, int key)>;
    KeyFilter(QWidget* box, Rule rule);

    // Whether text put in is undone on its own, as a paste is, or together
    // with the keys typed before it.
    enum class UndoStep { Own, Typing };
    // Puts `text` in at the box's cursor as if typed key by key.
    void Type(const QString& text, UndoStep step = UndoStep::Own);

    // The box's standard context menu with its Paste entry typing through the
    // rule, followed by the actions added with AddMenuAction.
    QMenu* CreateContextMenu(const QPoint& position);
    void AddMenuAction(QAction* action) { extraActions_.append(action); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool FilterKey(QKeyEvent& press);
    bool FilterInputMethod(QInputMethodEvent& input);
    bool ShowContextMenu(const QContextMenuEvent& request);
    bool PasteSelection(const QMouseEvent& release);
    bool Drop(QObject* watched, QDropEvent& drop);

    QWidget* box_;
    QWidget* surface_;  // where mouse and drop events arrive: a multi-line box's viewport
    Rule rule_;
    QList<QAction*> extraActions_;
    bool replaying_ = false;
};

// The text of an entry box or label, whichever kind it is.
QString TextOf(const QWidget* control);
void SetTextOf(QWidget* control, const QString& text);

}  // namespace app
