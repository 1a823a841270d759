// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <algorithm>
#include <map>

#include "history/Store.h"

// A store in memory for the window's tests: the record and the register as
// vectors and maps, filtered as the real stores filter. Told a reason, a
// call fails with it as the real stores fail (locked, read-only, full...).
class MemoryStore : public history::Store {
  public:
    std::vector<history::Voucher> recorded;  // oldest first
    std::map<QString, history::Employer> register_;
    QMap<QString, QString> settings;
    QString recordFailure;  // non-empty: Record throws it
    QString readFailure;    // non-empty: List, Find and FindEmployer throw it
    int listCalls = 0;

    // The register's entry straight in, as an earlier voucher would leave it.
    void Register(const history::Employer& employer) { register_[employer.cuit] = employer; }

    qint64 Record(const history::Voucher& voucher) override {
        if (!recordFailure.isEmpty()) {
            throw history::StoreFailure(recordFailure.toStdString());
        }
        history::Voucher kept = voucher;
        kept.id = qint64(recorded.size()) + 1;
        recorded.push_back(kept);
        const auto box = [&voucher](const char* name) {
            return voucher.boxes.value(QString::fromUtf8(name));
        };
        Register({voucher.cuit(), box("txtNombre"), box("txtCalle"), box("txtCP"), box("txtLoc"),
                  box("txtPcia")});
        return kept.id;
    }

    std::vector<history::Voucher> List(const history::Filter& filter) override {
        ++listCalls;
        ThrowOnRead();
        std::vector<history::Voucher> listed;
        for (auto it = recorded.rbegin(); it != recorded.rend(); ++it) {
            const QString period = it->period();
            if ((filter.cuit.isEmpty() || it->cuit() == filter.cuit) &&
                (filter.name.isEmpty() || it->name().contains(filter.name, Qt::CaseInsensitive)) &&
                (filter.fromPeriod.isEmpty() || period >= filter.fromPeriod) &&
                (filter.toPeriod.isEmpty() || period <= filter.toPeriod)) {
                listed.push_back(*it);
                if (filter.limit > 0 && int(listed.size()) == filter.limit) {
                    break;
                }
            }
        }
        return listed;
    }

    std::optional<history::Voucher> Find(qint64 id) override {
        ThrowOnRead();
        if (id < 1 || id > qint64(recorded.size())) {
            return std::nullopt;
        }
        return recorded[std::size_t(id - 1)];
    }

    std::optional<history::Employer> FindEmployer(const QString& cuit) override {
        ThrowOnRead();
        if (const auto it = register_.find(cuit); it != register_.end()) {
            return it->second;
        }
        return std::nullopt;
    }

    std::vector<history::Employer> Employers() override {
        ThrowOnRead();
        std::vector<history::Employer> all;
        for (const auto& [cuit, employer] : register_) {
            all.push_back(employer);
        }
        return all;
    }

    QString Setting(const QString& key) override { return settings.value(key); }
    void SetSetting(const QString& key, const QString& value) override {
        settings.insert(key, value);
    }

  private:
    void ThrowOnRead() const {
        if (!readFailure.isEmpty()) {
            throw history::StoreFailure(readFailure.toStdString());
        }
    }
};
