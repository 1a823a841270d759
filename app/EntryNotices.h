// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class QAction;
class QEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace app {

// A remark on an entry box that neither blocks nor prints: a red outline
// over the box, and the text as its tooltip and accessible description.
// The outline is a child of the box, so it hides with the box in print
// presentation.
class BoxNotice {
  public:
    explicit BoxNotice(QWidget* box);
    // Shows `text`; an empty text takes the remark away.
    void Show(const QString& text);
    QString text() const { return text_; }

  private:
    QPointer<QWidget> box_;
    QPointer<QWidget> outline_;
    QString text_;
};

// What the window checks beside the voucher's own validation, as remarks
// only: the C.U.I.T.'s check digit, and "Son Pesos" against the total. While
// "Son Pesos" is empty it shows the total in words as its placeholder, which
// one action (context menu entry and shortcut) writes into it.
class EntryNotices : public QObject {
    Q_OBJECT
  public:
    EntryNotices(QLineEdit* cuit, QPlainTextEdit* pesos, const QLabel* total,
                 const QLabel* totalCents, QObject* parent);

    // To be called whenever the total labels have been recomputed.
    void TotalChanged();
    // A remark on the C.U.I.T. box beside its check digit's (the register's
    // offer); an empty text takes it away.
    void SetCuitHint(const QString& hint);
    // Writes the total in words into "Son Pesos", undoably.
    void TakeTotalInWords();

    // The box's standard context menu with the taking action at its end.
    QMenu* CreatePesosMenu(const QPoint& position);
    QAction* takeAction() const { return take_; }
    const BoxNotice& cuitNotice() const { return cuitNotice_; }
    const BoxNotice& pesosNotice() const { return pesosNotice_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CheckCuit();
    void CheckPesos(bool typing);

    QLineEdit* cuit_;
    QPlainTextEdit* pesos_;
    const QLabel* total_;
    const QLabel* totalCents_;
    QString cuitHint_;
    BoxNotice cuitNotice_;
    BoxNotice pesosNotice_;
    QAction* take_;
};

}  // namespace app
