// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "history/Store.h"
#include "platform/Platform.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace app {

class HistoryModel;

// "Comprobantes emitidos": the record as a table, newest first, filtered as
// the C.U.I.T., the name or the period bounds are typed. A chosen voucher
// can be printed again (the print run itself, confirmation included, with
// the recorded values), saved again as PDF, or its payment code copied.
// Enter in a filter box goes to the table; Enter in the table prints again.
class HistoryDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* kTitle = "Comprobantes emitidos";
    // The newest this many are listed; a filter reaches the others.
    static constexpr int kListed = 1000;

    HistoryDialog(platform::Platform& platform, history::Store& store, QWidget* parent = nullptr);
    ~HistoryDialog() override;

    // Lists the store's vouchers through the filter typed, keeping the
    // chosen one chosen when it is still listed.
    void Reload();
    void PrintAgain();
    void SaveAgain();
    void CopyCode();

    const HistoryModel& model() const { return *model_; }
    // The voucher chosen in the table, or null.
    const history::Voucher* Current() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    history::Filter TypedFilter() const;
    void RunAgain(bool print);
    void CurrentChanged();

    platform::Platform& platform_;
    history::Store& store_;
    HistoryModel* model_;
    QLineEdit* cuit_;
    QLineEdit* name_;
    QLineEdit* from_;
    QLineEdit* to_;
    QTableView* table_;
    QLabel* status_;
    QPushButton* print_;
    QPushButton* save_;
    QPushButton* copy_;
};

}  // namespace app
