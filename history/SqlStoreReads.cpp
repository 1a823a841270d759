// SPDX-License-Identifier: GPL-3.0-or-later
// What the store reads: lists, single vouchers, the register, settings.
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "history/SqlStore.h"

namespace history {

namespace {

constexpr char kVoucherColumns[] =
    "id, issued, how, destination, program_version, contribution, total, payment_code, boxes";

QString Text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

QMap<QString, QString> TextBoxes(const QString& text) {
    QMap<QString, QString> boxes;
    const QJsonObject object = QJsonDocument::fromJson(text.toUtf8()).object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        boxes.insert(it.key(), it.value().toString());
    }
    return boxes;
}

Voucher ReadVoucher(const QSqlQuery& query) {
    Voucher voucher;
    voucher.id = query.value(0).toLongLong();
    voucher.issued = QDateTime::fromString(Text(query.value(1)), Qt::ISODate);
    voucher.how = Text(query.value(2));
    voucher.destination = Text(query.value(3));
    voucher.version = Text(query.value(4));
    voucher.contribution = Text(query.value(5));
    voucher.total = Text(query.value(6));
    voucher.paymentCode = Text(query.value(7));
    voucher.boxes = TextBoxes(Text(query.value(8)));
    return voucher;
}

// A part of a name to look for with LIKE, its own % and _ taken literally.
QString LikePattern(const QString& part) {
    QString escaped = part.toCaseFolded();
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'%', QStringLiteral("\\%"));
    escaped.replace(u'_', QStringLiteral("\\_"));
    return u'%' + escaped + u'%';
}

QString NotNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

}  // namespace

std::vector<Voucher> SqlStore::List(const Filter& filter) {
    QString sql =
        QStringLiteral("SELECT %1 FROM vouchers WHERE 1 = 1").arg(QLatin1String(kVoucherColumns));
    if (!filter.cuit.isEmpty()) {
        sql += QStringLiteral(" AND cuit = :cuit");
    }
    if (!filter.name.isEmpty()) {
        sql += QStringLiteral(" AND name_key LIKE :name ESCAPE '\\'");
    }
    if (!filter.fromPeriod.isEmpty()) {
        sql += QStringLiteral(" AND period >= :from");
    }
    if (!filter.toPeriod.isEmpty()) {
        sql += QStringLiteral(" AND period <= :to");
    }
    sql += QStringLiteral(" ORDER BY id DESC");
    if (filter.limit > 0) {
        sql += QStringLiteral(" LIMIT %1").arg(filter.limit);
    }
    QSqlQuery query = Prepared(sql);
    if (!filter.cuit.isEmpty()) {
        query.bindValue(QStringLiteral(":cuit"), NotNull(filter.cuit));
    }
    if (!filter.name.isEmpty()) {
        query.bindValue(QStringLiteral(":name"), NotNull(LikePattern(filter.name)));
    }
    if (!filter.fromPeriod.isEmpty()) {
        query.bindValue(QStringLiteral(":from"), NotNull(filter.fromPeriod));
    }
    if (!filter.toPeriod.isEmpty()) {
        query.bindValue(QStringLiteral(":to"), NotNull(filter.toPeriod));
    }
    Run(query);
    std::vector<Voucher> vouchers;
    while (query.next()) {
        vouchers.push_back(ReadVoucher(query));
    }
    if (query.lastError().isValid()) {
        Fail(query.lastError());
    }
    return vouchers;
}

std::optional<Voucher> SqlStore::Find(qint64 id) {
    QSqlQuery query = Prepared(QStringLiteral("SELECT %1 FROM vouchers WHERE id = :id")
                                   .arg(QLatin1String(kVoucherColumns)));
    query.bindValue(QStringLiteral(":id"), id);
    Run(query);
    if (!query.next()) {
        return std::nullopt;
    }
    return ReadVoucher(query);
}

std::optional<Employer> SqlStore::FindEmployer(const QString& cuit) {
    QSqlQuery query = Prepared(QStringLiteral(
        "SELECT cuit, establecimiento, calle, cp, localidad, provincia FROM employers "
        "WHERE cuit = :cuit"));
    query.bindValue(QStringLiteral(":cuit"), NotNull(cuit));
    Run(query);
    if (!query.next()) {
        return std::nullopt;
    }
    return Employer{Text(query.value(0)), Text(query.value(1)), Text(query.value(2)),
                    Text(query.value(3)), Text(query.value(4)), Text(query.value(5))};
}

std::vector<Employer> SqlStore::Employers() {
    QSqlQuery query = Prepared(QStringLiteral(
        "SELECT cuit, establecimiento, calle, cp, localidad, provincia FROM employers "
        "ORDER BY cuit"));
    Run(query);
    std::vector<Employer> employers;
    while (query.next()) {
        employers.push_back({Text(query.value(0)), Text(query.value(1)), Text(query.value(2)),
                             Text(query.value(3)), Text(query.value(4)), Text(query.value(5))});
    }
    return employers;
}

QString SqlStore::Setting(const QString& key) {
    QSqlQuery query = Prepared(QStringLiteral("SELECT value FROM settings WHERE key = :key"));
    query.bindValue(QStringLiteral(":key"), NotNull(key));
    Run(query);
    return query.next() ? Text(query.value(0)) : QString();
}

}  // namespace history
