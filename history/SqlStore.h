// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <functional>

#include "history/Destination.h"
#include "history/Store.h"

class QSqlError;
class QSqlQuery;

namespace history {

// The store in an SQL database through Qt SQL: a SQLite file (WAL, a busy
// timeout) or a PostgreSQL server. The schema is brought up to date when
// opened; every write is one transaction and every value a bound parameter.
class SqlStore : public Store {
  public:
    // A SQLite file, which must exist (OpenStore creates it).
    explicit SqlStore(const QString& file);
    // A PostgreSQL server; `shown` names it in messages, without its password.
    SqlStore(const ServerAddress& address, const QString& shown);
    ~SqlStore() override;
    SqlStore(const SqlStore&) = delete;
    SqlStore& operator=(const SqlStore&) = delete;

    qint64 Record(const Voucher& voucher) override;
    std::vector<Voucher> List(const Filter& filter) override;
    std::optional<Voucher> Find(qint64 id) override;
    std::optional<Employer> FindEmployer(const QString& cuit) override;
    std::vector<Employer> Employers() override;
    QString Setting(const QString& key) override;
    void SetSetting(const QString& key, const QString& value) override;

    // The schema's version once opened.
    int schemaVersion();

    // How long a SQLite writer waits for another's lock, in milliseconds.
    static constexpr int kBusyTimeoutMs = 3000;

  private:
    void Open();
    void Migrate();
    // Runs `work` in one transaction, committed when it returns.
    void Write(const std::function<void()>& work);
    QSqlQuery Prepared(const QString& sql);
    void Run(QSqlQuery& query);
    void Execute(const QString& sql);
    [[noreturn]] void Fail(const QSqlError& error);
    bool server() const { return server_; }

    QString connection_;
    QString shown_;
    bool server_ = false;
    QString file_;
    bool readOnly_ = false;  // a file nobody may write: read, never written
};

}  // namespace history
