// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/Destination.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <cerrno>

#include "history/SqlStore.h"
#include "platform/ErrorTexts.h"

namespace history {

namespace {

bool IsNone(const QString& value) {
    return value.trimmed().compare(QLatin1String(kNoStore), Qt::CaseInsensitive) == 0;
}

QString Decoded(const QString& part) {
    return QUrl::fromPercentEncoding(part.toUtf8());
}

// A connect option's value quoted as libpq's keyword/value form wants it.
QString Quoted(const QString& value) {
    QString quoted = value;
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + quoted + u'\'';
}

// Makes the folders up to `path`'s own, new ones private to the user.
QString MakeFolders(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? QString() : QStringLiteral("no es una carpeta");
    }
    const QString parent = QFileInfo(folder).path();
    if (parent != folder) {
        if (QString why = MakeFolders(parent); !why.isEmpty()) {
            return why;
        }
    }
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST) {
        return platform::SystemErrorText(errno);
    }
    return {};
}

}  // namespace

QString DefaultDestination() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data)) {
        data = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return data + QStringLiteral("/talonario/talonario.sqlite");
}

QString ChosenDestination(const QString& option, bool off) {
    if (off) {
        return {};
    }
    QString chosen = option;
    if (chosen.isEmpty()) {
        chosen = qEnvironmentVariable(kStoreVariable);
    }
    if (IsNone(chosen)) {
        return {};
    }
    if (chosen.isEmpty()) {
        return DefaultDestination();
    }
    if (IsServerAddress(chosen)) {
        return chosen;
    }
    return QDir::cleanPath(QDir::current().absoluteFilePath(chosen));
}

bool IsServerAddress(const QString& destination) {
    return destination.startsWith(QLatin1String("postgresql://")) ||
           destination.startsWith(QLatin1String("postgres://"));
}

QString ShownDestination(const QString& destination) {
    if (!IsServerAddress(destination)) {
        return destination;
    }
    QString shown = destination;
    const qsizetype start = shown.indexOf(QLatin1String("://")) + 3;
    const qsizetype end = [&] {
        const qsizetype slash = shown.indexOf(u'/', start);
        const qsizetype query = shown.indexOf(u'?', start);
        if (slash < 0) {
            return query < 0 ? shown.size() : query;
        }
        return query < 0 ? slash : std::min(slash, query);
    }();
    const qsizetype at = shown.lastIndexOf(u'@', end - 1);
    if (at >= start) {
        const qsizetype colon = shown.indexOf(u':', start);
        if (colon >= 0 && colon < at) {
            shown.replace(colon + 1, at - colon - 1, QStringLiteral("***"));
        }
    }
    // A password given as a parameter is masked likewise.
    const qsizetype query = shown.indexOf(u'?');
    if (query >= 0) {
        QStringList parts = shown.mid(query + 1).split(u'&');
        for (QString& part : parts) {
            if (part.startsWith(QLatin1String("password="))) {
                part = QStringLiteral("password=***");
            }
        }
        shown = shown.left(query + 1) + parts.join(u'&');
    }
    return shown;
}

ServerAddress ReadServerAddress(const QString& url) {
    ServerAddress address;
    if (!IsServerAddress(url)) {
        address.error = QStringLiteral("no empieza con postgresql://");
        return address;
    }
    QString rest = url.mid(url.indexOf(QLatin1String("://")) + 3);
    QString query;
    if (const qsizetype mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    QString authority = rest;
    if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0) {
        authority = rest.left(slash);
        address.database = Decoded(rest.mid(slash + 1));
    }
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(u':');
        address.user = Decoded(colon < 0 ? userInfo : userInfo.left(colon));
        if (colon >= 0) {
            address.password = Decoded(userInfo.mid(colon + 1));
        }
    }
    QString port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0) {
            address.error = QStringLiteral("falta «]» tras la dirección IPv6");
            return address;
        }
        address.host = authority.mid(1, close - 1);
        if (authority.mid(close + 1).startsWith(u':')) {
            port = authority.mid(close + 2);
        }
    } else {
        const qsizetype colon = authority.lastIndexOf(u':');
        address.host = Decoded(colon < 0 ? authority : authority.left(colon));
        if (colon >= 0) {
            port = authority.mid(colon + 1);
        }
    }
    for (const QString& pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString key = Decoded(equals < 0 ? pair : pair.left(equals));
        const QString value = equals < 0 ? QString() : Decoded(pair.mid(equals + 1));
        if (key == QLatin1String("host")) {
            address.host = value;
        } else if (key == QLatin1String("port")) {
            port = value;
        } else if (key == QLatin1String("user")) {
            address.user = value;
        } else if (key == QLatin1String("password")) {
            address.password = value;
        } else if (key == QLatin1String("dbname")) {
            address.database = value;
        } else if (!key.isEmpty() && key.front().isLetter() &&
                   std::all_of(key.begin(), key.end(),
                               [](QChar c) { return c.isLetterOrNumber() || c == u'_'; })) {
            address.options << key + u'=' + Quoted(value);
        } else {
            address.error = QStringLiteral("parámetro «%1» no válido").arg(key);
            return address;
        }
    }
    if (!port.isEmpty()) {
        bool ok = false;
        address.port = port.toInt(&ok);
        if (!ok || address.port < 1 || address.port > 65535) {
            address.error = QStringLiteral("puerto «%1» no válido").arg(port);
        }
    }
    return address;
}

std::unique_ptr<Store> OpenStore(const QString& destination) {
    if (destination.isEmpty()) {
        return nullptr;
    }
    if (IsServerAddress(destination)) {
        const ServerAddress address = ReadServerAddress(destination);
        if (!address.error.isEmpty()) {
            throw StoreFailure(QStringLiteral("la dirección %1 no se puede leer: %2")
                                   .arg(ShownDestination(destination), address.error)
                                   .toStdString());
        }
        return std::make_unique<SqlStore>(address, ShownDestination(destination));
    }
    if (const QString why = MakeFolders(QFileInfo(destination).path()); !why.isEmpty()) {
        throw StoreFailure(QStringLiteral("no se puede crear la carpeta de %1: %2")
                               .arg(destination, why)
                               .toStdString());
    }
    // A new file is the user's alone; SQLite gives its journals the same mode.
    const QByteArray name = QFile::encodeName(destination);
    const int fd = ::open(name.constData(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    }
    return std::make_unique<SqlStore>(destination);
}

}  // namespace history
