// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "history/Store.h"

namespace app {

// The recorded vouchers as a table, in the store's order (newest first).
// The list is moved in, never copied, and each cell's text is made only
// when the view asks for it: a long record costs what the screen shows.
class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { Issued, Cuit, Name, Period, Total, Code, How, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setVouchers(std::vector<history::Voucher> vouchers);
    // The voucher on `row`, or null.
    const history::Voucher* voucherAt(int row) const;
    // The row of the voucher recorded as `id`, or -1.
    int rowOf(qint64 id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<history::Voucher> vouchers_;
};

}  // namespace app
