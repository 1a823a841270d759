// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/SqlStore.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cerrno>

#include "history/Schema.h"
#include "history/StoreErrors.h"
#include "platform/ErrorTexts.h"

namespace history {

namespace {

QAtomicInt connections;

QString NewConnectionName() {
    return QStringLiteral("talonario-historial-%1").arg(connections.fetchAndAddRelaxed(1));
}

QString BoxesText(const QMap<QString, QString>& boxes) {
    QJsonObject object;
    for (auto it = boxes.begin(); it != boxes.end(); ++it) {
        object.insert(it.key(), it.value());
    }
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// Qt binds a null QString as SQL NULL; a box left empty is an empty text.
QString NotNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QString Now() {
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

}  // namespace

SqlStore::SqlStore(const QString& file)
    : connection_(NewConnectionName()), shown_(file), file_(file) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        throw StoreFailure("falta el controlador SQLite de Qt (el paquete libqt6sql6-sqlite)");
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    Open();
}

SqlStore::SqlStore(const ServerAddress& address, const QString& shown)
    : connection_(NewConnectionName()), shown_(shown), server_(true) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        throw StoreFailure("falta el controlador PostgreSQL de Qt (el paquete libqt6sql6-psql)");
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection_);
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setUserName(address.user);
    db.setPassword(address.password);
    db.setDatabaseName(address.database);
    QStringList options = address.options;
    // A server that does not answer must not hold the voucher's run for long.
    if (!std::any_of(options.begin(), options.end(), [](const QString& option) {
            return option.startsWith(QLatin1String("connect_timeout="));
        })) {
        options << QStringLiteral("connect_timeout=10");
    }
    db.setConnectOptions(options.join(u';'));
    Open();
}

SqlStore::~SqlStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void SqlStore::Open() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!server_) {
        // Left alone as the safe writer leaves a file: even root writes no
        // file that nobody may write. Such a record can still be read.
        struct stat info {};
        const QByteArray name = QFile::encodeName(file_);
        readOnly_ = ::stat(name.constData(), &info) == 0 &&
                    ((info.st_mode & 0222) == 0 || ::access(name.constData(), W_OK) != 0);
        if (readOnly_) {
            db.setConnectOptions(db.connectOptions() + QStringLiteral(";QSQLITE_OPEN_READONLY"));
        }
    }
    if (!db.open()) {
        Fail(db.lastError());
    }
    if (server_) {
        QSqlQuery settings(db);
        if (!settings.exec(QStringLiteral("SET lock_timeout = '%1ms'").arg(kBusyTimeoutMs))) {
            Fail(settings.lastError());
        }
    } else {
        // Another program's database, named by mistake, is not ours to add
        // to: looked at before WAL mode, which would change its header.
        QSqlQuery tables(db);
        if (!tables.exec(QStringLiteral("SELECT COUNT(*), SUM(name = 'schema_versions') FROM "
                                        "sqlite_master")) ||
            !tables.next()) {
            Fail(tables.lastError());
        }
        const bool foreign = tables.value(0).toInt() > 0 && tables.value(1).toInt() == 0;
        tables.finish();  // no read left open under the journal's change
        if (foreign) {
            throw StoreFailure(
                QStringLiteral("el archivo %1 es una base de otro programa; no se lo modificó")
                    .arg(shown_)
                    .toStdString());
        }
        // Readers never wait for a writer, and a writer waits for another
        // instead of failing at once.
        QSqlQuery wal(db);
        if (!readOnly_ && !wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
            Fail(wal.lastError());
        }
    }
    Migrate();
}

int SqlStore::schemaVersion() {
    QSqlQuery query = Prepared(QStringLiteral("SELECT MAX(version) FROM schema_versions"));
    Run(query);
    return query.next() ? query.value(0).toInt() : 0;
}

void SqlStore::Migrate() {
    const auto& migrations = Migrations(server_);
    const int latest = static_cast<int>(migrations.size());
    {
        // Most opens find the schema current: no write, no lock.
        QSqlQuery probe(QSqlDatabase::database(connection_, false));
        if (probe.exec(QStringLiteral("SELECT MAX(version) FROM schema_versions")) &&
            probe.next() && probe.value(0).toInt() == latest) {
            return;
        }
        if (!server_ && probe.lastError().isValid() &&
            !probe.lastError().text().contains(QLatin1String("no such table"))) {
            Fail(probe.lastError());
        }
    }
    Write([&] {
        if (server_) {
            // Two programs opening a new database at once migrate it once.
            QSqlQuery lock = Prepared(QStringLiteral("SELECT pg_advisory_xact_lock(5247021)"));
            Run(lock);
        }
        Execute(
            QStringLiteral("CREATE TABLE IF NOT EXISTS schema_versions "
                           "(version INTEGER PRIMARY KEY, applied TEXT NOT NULL)"));
        const int current = schemaVersion();
        if (current > latest) {
            throw StoreFailure(QStringLiteral("la base %1 es de una versión más nueva del programa")
                                   .arg(shown_)
                                   .toStdString());
        }
        for (int version = current; version < latest; ++version) {
            for (const QString& statement : migrations[std::size_t(version)]) {
                Execute(statement);
            }
            QSqlQuery applied = Prepared(QStringLiteral(
                "INSERT INTO schema_versions (version, applied) VALUES (:version, :applied)"));
            applied.bindValue(QStringLiteral(":version"), version + 1);
            applied.bindValue(QStringLiteral(":applied"), NotNull(Now()));
            Run(applied);
        }
    });
}

void SqlStore::Write(const std::function<void()>& work) {
    if (readOnly_) {
        throw StoreFailure(
            QStringLiteral("la base %1 es de solo lectura").arg(shown_).toStdString());
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (server_) {
        if (!db.transaction()) {
            Fail(db.lastError());
        }
    } else {
        // Taking the write lock at the start: a reader turned writer in WAL
        // mode would fail at once instead of waiting for the other writer.
        QSqlQuery begin(db);
        if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            Fail(begin.lastError());
        }
    }
    try {
        work();
    } catch (...) {
        if (server_) {
            db.rollback();
        } else {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        }
        throw;
    }
    if (server_ ? !db.commit() : !QSqlQuery(db).exec(QStringLiteral("COMMIT"))) {
        const QSqlError error = db.lastError();
        if (server_) {
            db.rollback();
        } else {
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        }
        Fail(error);
    }
}

QSqlQuery SqlStore::Prepared(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        Fail(query.lastError());
    }
    return query;
}

// Statements without values: PostgreSQL prepares no CREATE.
void SqlStore::Execute(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    if (!query.exec(sql)) {
        Fail(query.lastError());
    }
}

void SqlStore::Run(QSqlQuery& query) {
    if (!query.exec()) {
        Fail(query.lastError());
    }
}

void SqlStore::Fail(const QSqlError& error) {
    // SQLite tells a full disk as a failed write often as not: the free
    // space says which it was.
    const int result = error.nativeErrorCode().toInt() & 0xff;
    struct statvfs space {};
    if (!server_ && (result == 10 || result == 13) &&
        ::statvfs(QFile::encodeName(QFileInfo(file_).path()).constData(), &space) == 0 &&
        space.f_bavail * space.f_frsize < 64 * 1024) {
        throw StoreFailure(QStringLiteral("no se puede escribir en la base %1: %2")
                               .arg(shown_, platform::SystemErrorText(ENOSPC))
                               .toStdString());
    }
    throw StoreFailure(StoreErrorText(error, server_, shown_).toStdString());
}

qint64 SqlStore::Record(const Voucher& voucher) {
    qint64 id = 0;
    Write([&] {
        QSqlQuery insert = Prepared(QStringLiteral(
            "INSERT INTO vouchers (issued, how, destination, program_version, cuit, name, "
            "name_key, period, contribution, total, payment_code, boxes) VALUES (:issued, :how, "
            ":destination, :version, :cuit, :name, :name_key, :period, :contribution, :total, "
            ":code, :boxes) RETURNING id"));
        // Local time with its offset: read back without a time-zone lookup per
        // voucher, which dominated listing a large record.
        const QDateTime issued = voucher.issued.toOffsetFromUtc(voucher.issued.offsetFromUtc());
        insert.bindValue(QStringLiteral(":issued"), NotNull(issued.toString(Qt::ISODate)));
        insert.bindValue(QStringLiteral(":how"), NotNull(voucher.how));
        insert.bindValue(QStringLiteral(":destination"), NotNull(voucher.destination));
        insert.bindValue(QStringLiteral(":version"), NotNull(voucher.version));
        insert.bindValue(QStringLiteral(":cuit"), NotNull(voucher.cuit()));
        insert.bindValue(QStringLiteral(":name"), NotNull(voucher.name()));
        insert.bindValue(QStringLiteral(":name_key"), NotNull(voucher.name().toCaseFolded()));
        insert.bindValue(QStringLiteral(":period"), NotNull(voucher.period()));
        insert.bindValue(QStringLiteral(":contribution"), NotNull(voucher.contribution));
        insert.bindValue(QStringLiteral(":total"), NotNull(voucher.total));
        insert.bindValue(QStringLiteral(":code"), NotNull(voucher.paymentCode));
        insert.bindValue(QStringLiteral(":boxes"), NotNull(BoxesText(voucher.boxes)));
        Run(insert);
        if (!insert.next()) {
            Fail(insert.lastError());
        }
        id = insert.value(0).toLongLong();
        insert.finish();
        if (voucher.cuit().isEmpty()) {
            return;
        }
        // A box left empty keeps what the register knew: a voucher typed
        // without the address does not erase it.
        QSqlQuery employer = Prepared(QStringLiteral(
            "INSERT INTO employers (cuit, establecimiento, calle, cp, localidad, provincia, "
            "updated) VALUES (:cuit, :establecimiento, :calle, :cp, :localidad, :provincia, "
            ":updated) ON CONFLICT (cuit) DO UPDATE SET "
            "establecimiento = COALESCE(NULLIF(excluded.establecimiento, ''), "
            "employers.establecimiento), "
            "calle = COALESCE(NULLIF(excluded.calle, ''), employers.calle), "
            "cp = COALESCE(NULLIF(excluded.cp, ''), employers.cp), "
            "localidad = COALESCE(NULLIF(excluded.localidad, ''), employers.localidad), "
            "provincia = COALESCE(NULLIF(excluded.provincia, ''), employers.provincia), "
            "updated = excluded.updated"));
        const auto box = [&voucher](const char* name) {
            return voucher.boxes.value(QString::fromLatin1(name));
        };
        employer.bindValue(QStringLiteral(":cuit"), NotNull(voucher.cuit()));
        employer.bindValue(QStringLiteral(":establecimiento"), NotNull(box("txtNombre")));
        employer.bindValue(QStringLiteral(":calle"), NotNull(box("txtCalle")));
        employer.bindValue(QStringLiteral(":cp"), NotNull(box("txtCP")));
        employer.bindValue(QStringLiteral(":localidad"), NotNull(box("txtLoc")));
        employer.bindValue(QStringLiteral(":provincia"), NotNull(box("txtPcia")));
        employer.bindValue(QStringLiteral(":updated"), NotNull(Now()));
        Run(employer);
    });
    return id;
}

void SqlStore::SetSetting(const QString& key, const QString& value) {
    Write([&] {
        QSqlQuery query =
            Prepared(QStringLiteral("INSERT INTO settings (key, value) VALUES (:key, :value) "
                                    "ON CONFLICT (key) DO UPDATE SET value = excluded.value"));
        query.bindValue(QStringLiteral(":key"), NotNull(key));
        query.bindValue(QStringLiteral(":value"), NotNull(value));
        Run(query);
    });
}

}  // namespace history
