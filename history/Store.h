// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace history {

// How a voucher left; stored as these words.
inline constexpr const char* kFromWindow = "ventana";
inline constexpr const char* kFromPdf = "pdf";
inline constexpr const char* kFromBatch = "lote";
inline constexpr const char* kFromReprint = "reimpresión";
inline constexpr const char* kFromPrint = "impresión";  // --imprimir, without a window

// One voucher as it left: every entry box's text as typed (by the window's
// control name, "txtCuit", "txtRemuneracion", "Check1" as "0"/"1"...), the
// figures the program computed, and where it went.
struct Voucher {
    qint64 id = 0;  // given by the store
    QMap<QString, QString> boxes;
    QString contribution;  // as on the voucher, "1234,56"
    QString total;         // as on the voucher, "1234,56"
    QString paymentCode;   // the 23 digits
    QDateTime issued;      // local date and time it left
    QString how;           // one of the kFrom words above
    QString destination;   // the printer and its job ids, or the file's path
    QString version;       // the program's version

    QString cuit() const { return boxes.value(QStringLiteral("txtCuit")); }
    QString name() const { return boxes.value(QStringLiteral("txtNombre")); }
    // "AAAA-MM" from the year and month boxes; empty when either is missing.
    QString period() const {
        const QString year = boxes.value(QStringLiteral("txtAnio"));
        const QString month = boxes.value(QStringLiteral("txtMes"));
        if (year.isEmpty() || month.isEmpty()) {
            return {};
        }
        return year + QLatin1Char('-') + month.rightJustified(2, QLatin1Char('0'));
    }
};

// The register's entry of one employer, updated from each recorded voucher.
struct Employer {
    QString cuit;
    QString establecimiento;
    QString calle;
    QString cp;
    QString localidad;
    QString provincia;
};

// Which recorded vouchers to list: empty fields match everything. Periods are
// "AAAA-MM", both ends included; `name` matches a part of the name, any case.
struct Filter {
    QString cuit;
    QString name;
    QString fromPeriod;
    QString toPeriod;
    // At most this many, the newest; 0: all of them. A window lists a page
    // of a long record, not the whole of it.
    int limit = 0;
};

// A store that could not do what was asked; `what()` is the reason in
// Spanish, naming no password.
class StoreFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The register of employers and the record of every voucher that left. Every
// write is one transaction: a failure leaves nothing half-recorded.
class Store {
  public:
    virtual ~Store() = default;

    // Records the voucher and updates its employer in the register; returns
    // the new id. Throws StoreFailure.
    virtual qint64 Record(const Voucher& voucher) = 0;
    // Newest first. Throws StoreFailure.
    virtual std::vector<Voucher> List(const Filter& filter) = 0;
    // Throws StoreFailure.
    virtual std::optional<Voucher> Find(qint64 id) = 0;
    virtual std::optional<Employer> FindEmployer(const QString& cuit) = 0;
    // By C.U.I.T. Throws StoreFailure.
    virtual std::vector<Employer> Employers() = 0;

    // Small remembered values (the last surcharge rate used...); empty when
    // never set. Throws StoreFailure.
    virtual QString Setting(const QString& key) = 0;
    virtual void SetSetting(const QString& key, const QString& value) = 0;
};

}  // namespace history
