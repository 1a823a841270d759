// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QEvent;
class QLineEdit;

namespace history {
class Store;
}

namespace app {

class EntryNotices;
class VoucherWindow;

// The register's offer on the C.U.I.T. box: when the box is left holding a
// C.U.I.T. the register knows and the employer boxes are all empty, a remark
// on the box (never a dialog, never printed) says the saved data can be
// taken; one action (Ctrl+E, and the box's context menu) types them into
// the employer boxes that are still empty, each through its own key rule.
class RegisterHint : public QObject {
    Q_OBJECT
  public:
    RegisterHint(VoucherWindow& window, EntryNotices& notices);

    void setStore(history::Store* store);
    // Fills the empty employer boxes from the register; false when the
    // C.U.I.T. typed is not in it (or there is no register to ask).
    bool FillEmployer();

    QAction* fillAction() const { return fill_; }
    // The remark shown now, empty when none.
    QString text() const { return shown_; }

    static const QString& Text();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CuitLeft();
    void CuitChanged();
    void Show(const QString& cuit);
    bool EmployerBoxesEmpty() const;

    VoucherWindow& window_;
    EntryNotices& notices_;
    QLineEdit* cuit_;
    QAction* fill_;
    history::Store* store_ = nullptr;
    QString hintedCuit_;
    QString shown_;
};

}  // namespace app
