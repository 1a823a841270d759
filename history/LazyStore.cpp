// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/LazyStore.h"

#include "history/Destination.h"

namespace history {

Store& LazyStore::Opened() {
    if (store_) {
        return *store_;
    }
    if (!lastFailure_.isEmpty() && !retry_.hasExpired()) {
        throw StoreFailure(lastFailure_.toStdString());
    }
    try {
        store_ = OpenStore(destination_);
    } catch (const StoreFailure& failure) {
        lastFailure_ = QString::fromUtf8(failure.what());
        retry_.setRemainingTime(kRetryAfterMs);
        throw;
    }
    lastFailure_.clear();
    return *store_;
}

template <class Call>
auto LazyStore::Through(Call call) {
    Store& store = Opened();
    try {
        return call(store);
    } catch (const StoreFailure&) {
        // A lost connection or a file gone bad: the next call opens anew.
        store_.reset();
        throw;
    }
}

qint64 LazyStore::Record(const Voucher& voucher) {
    return Through([&](Store& store) { return store.Record(voucher); });
}

std::vector<Voucher> LazyStore::List(const Filter& filter) {
    return Through([&](Store& store) { return store.List(filter); });
}

std::optional<Voucher> LazyStore::Find(qint64 id) {
    return Through([&](Store& store) { return store.Find(id); });
}

std::optional<Employer> LazyStore::FindEmployer(const QString& cuit) {
    return Through([&](Store& store) { return store.FindEmployer(cuit); });
}

std::vector<Employer> LazyStore::Employers() {
    return Through([&](Store& store) { return store.Employers(); });
}

QString LazyStore::Setting(const QString& key) {
    return Through([&](Store& store) { return store.Setting(key); });
}

void LazyStore::SetSetting(const QString& key, const QString& value) {
    Through([&](Store& store) { store.SetSetting(key, value); });
}

}  // namespace history
