#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QKeyEvent;

namespace app {

// The key code an entry box's filter sees for a key press, or -1 for a key
// that types no character (arrows, Delete, Tab, function keys, other Ctrl
// combinations), which is never filtered. Derived from key() and modifiers
// rather than text() alone, because X11 and the offscreen platform give
// different texts for the same Ctrl+V or Delete.
int KeyCodeOf(const QKeyEvent& event);

// Runs a box's key filter on every key press before the box sees it: the
// key is dropped (code 0), passed on, or replaced by the changed character.
class KeyFilter : public QObject {
    Q_OBJECT
  public:
    using Rule = std::function<int(const QString& current, int key)>;
    KeyFilter(QWidget* box, Rule rule);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* box_;
    Rule rule_;
    bool replaying_ = false;
};

// The text of an entry box or label, whichever kind it is.
QString TextOf(const QWidget* control);
void SetTextOf(QWidget* control, const QString& text);

}  // namespace app
