// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HistoryModel.h"

#include <array>

namespace app {

namespace {

const std::array<const char*, HistoryModel::ColumnCount> kHeaders{
    "Fecha", "C.U.I.T.", "Establecimiento", "Período", "Total", "Código de pago", "Cómo"};

}  // namespace

void HistoryModel::setVouchers(std::vector<history::Voucher> vouchers) {
    beginResetModel();
    vouchers_ = std::move(vouchers);
    endResetModel();
}

const history::Voucher* HistoryModel::voucherAt(int row) const {
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    return &vouchers_[std::size_t(row)];
}

int HistoryModel::rowOf(qint64 id) const {
    for (std::size_t i = 0; i < vouchers_.size(); ++i) {
        if (vouchers_[i].id == id) {
            return int(i);
        }
    }
    return -1;
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(vouchers_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    const history::Voucher* voucher = voucherAt(index.row());
    if (!voucher) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return index.column() == Total ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    switch (index.column()) {
        case Issued:
            return voucher->issued.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        case Cuit:
            return voucher->cuit();
        case Name:
            return voucher->name();
        case Period:
            return voucher->period();
        case Total:
            return voucher->total;
        case Code:
            return voucher->paymentCode;
        case How:
            return voucher->how;
        default:
            return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount) {
        return {};
    }
    return QString::fromUtf8(kHeaders[std::size_t(section)]);
}

}  // namespace app
