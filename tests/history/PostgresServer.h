// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the test's own: data and socket in a private
// folder, no TCP. The server refuses to run as root, so as root it runs as
// nobody, the folder handed over to it.
class PostgresServer {
  public:
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin";

    static bool Installed() { return QFile::exists(QStringLiteral("%1/initdb").arg(kBin)); }

    // Empty when running, else what went wrong.
    QString Start() {
        if (!folder_.isValid()) {
            return QStringLiteral("no temporary folder");
        }
        if (::geteuid() == 0 &&
            ::chown(QFile::encodeName(folder_.path()).constData(), 65534, 65534) != 0) {
            return QStringLiteral("cannot hand the folder to nobody");
        }
        QString out;
        if (!Run(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), data(), QStringLiteral("-U"), QStringLiteral("talonario"),
                  QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                  QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
                 out)) {
            return QStringLiteral("initdb: ") + out;
        }
        // The user "clave" must give its password; everyone else is trusted.
        QFile hba(data() + QStringLiteral("/pg_hba.conf"));
        if (!hba.open(QIODevice::ReadOnly)) {
            return QStringLiteral("no pg_hba.conf");
        }
        const QByteArray rules = "local all clave scram-sha-256\n" + hba.readAll();
        hba.close();
        if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) || hba.write(rules) < 0) {
            return QStringLiteral("cannot write pg_hba.conf");
        }
        hba.close();
        if (QString why = Resume(); !why.isEmpty()) {
            return why;
        }
        if (QString why = Sql(QStringLiteral("CREATE ROLE clave LOGIN PASSWORD 'secreto1'"));
            !why.isEmpty()) {
            return why;
        }
        return Sql(QStringLiteral("CREATE DATABASE claves OWNER clave"));
    }
    // Runs one statement as the server's own user; empty when done.
    QString Sql(const QString& statement) {
        QString out;
        if (!Run(QStringLiteral("psql"),
                 {QStringLiteral("-h"), folder_.path(), QStringLiteral("-U"),
                  QStringLiteral("talonario"), QStringLiteral("-d"), QStringLiteral("postgres"),
                  QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"),
                  statement},
                 out)) {
            return QStringLiteral("psql: ") + out;
        }
        return {};
    }
    QString Resume() {
        QString out;
        const QString options =
            QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -c fsync=off")
                .arg(folder_.path());
        if (!Run(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), data(), QStringLiteral("-o"), options, QStringLiteral("-l"),
                  folder_.filePath(QStringLiteral("log")), QStringLiteral("-w"),
                  QStringLiteral("start")},
                 out)) {
            return QStringLiteral("pg_ctl start: ") + out;
        }
        running_ = true;
        return {};
    }
    void Stop() {
        if (running_) {
            QString out;
            Run(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), data(), QStringLiteral("-m"), QStringLiteral("fast"),
                 QStringLiteral("-w"), QStringLiteral("stop")},
                out);
            running_ = false;
        }
    }
    ~PostgresServer() { Stop(); }

    // The server's database, as the program's --base takes it.
    QString Url(const QString& database = QStringLiteral("postgres")) const {
        return QStringLiteral("postgresql://talonario@/%1?host=%2").arg(database, folder_.path());
    }
    QString socketFolder() const { return folder_.path(); }
    // A fresh database, for a test that wants one of its own.
    QString NewDatabase(const QString& name) {
        QString out;
        Run(QStringLiteral("createdb"),
            {QStringLiteral("-h"), folder_.path(), QStringLiteral("-U"),
             QStringLiteral("talonario"), name},
            out);
        return Url(name);
    }

  private:
    QString data() const { return folder_.filePath(QStringLiteral("data")); }
    bool Run(const QString& program, const QStringList& arguments, QString& out) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setWorkingDirectory(folder_.path());
        const QString binary = QStringLiteral("%1/%2").arg(kBin, program);
        if (::geteuid() == 0) {
            process.start(
                QStringLiteral("setpriv"),
                QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                            QStringLiteral("--clear-groups"), binary} +
                    arguments);
        } else {
            process.start(binary, arguments);
        }
        const bool ok = process.waitForFinished(120000) &&
                        process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        out = QString::fromLocal8Bit(process.readAll());
        return ok;
    }

    QTemporaryDir folder_{QDir::tempPath() + QStringLiteral("/talonario-pg-XXXXXX")};
    bool running_ = false;
};
