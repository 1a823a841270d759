// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <memory>

#include "history/Store.h"

namespace history {

// The window's store: opened when first needed, so that a server that is
// slow or away never holds the window back from opening, and opened again
// after a failure, so that a store that comes back is used again. After a
// failed opening the same failure is told for a while without trying again,
// as leaving the C.U.I.T. box must not wait on the network each time.
class LazyStore : public Store {
  public:
    explicit LazyStore(QString destination) : destination_(std::move(destination)) {}

    qint64 Record(const Voucher& voucher) override;
    std::vector<Voucher> List(const Filter& filter) override;
    std::optional<Voucher> Find(qint64 id) override;
    std::optional<Employer> FindEmployer(const QString& cuit) override;
    std::vector<Employer> Employers() override;
    QString Setting(const QString& key) override;
    void SetSetting(const QString& key, const QString& value) override;

    // How long a failed opening is told again without a new try.
    static constexpr int kRetryAfterMs = 30'000;

  private:
    Store& Opened();
    template <class Call>
    auto Through(Call call);

    QString destination_;
    std::unique_ptr<Store> store_;
    QString lastFailure_;
    QDeadlineTimer retry_;
};

}  // namespace history
