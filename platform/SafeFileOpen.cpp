// SPDX-License-Identifier: GPL-3.0-or-later
// Finding where a safe write goes: the name's folder, the links on the way
// (each checked as the kernel checks them in shared folders), and what kind
// of file is there, before any byte is written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/ErrorTexts.h"
#include "platform/SafeFile.h"

namespace platform {

namespace {

// Links followed one after the other before the name is refused.
constexpr int kMaxLinkDepth = 8;

// "a/b/c.pdf" -> "a/b", "c.pdf"; "c.pdf" -> ".", "c.pdf"; "/c" -> "/", "c".
std::pair<QByteArray, QByteArray> SplitName(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0) {
        return {QByteArray("."), name};
    }
    return {slash == 0 ? QByteArray("/") : name.left(slash), name.mid(slash + 1)};
}

// Whether a link found in a folder may be followed: the folder is nobody
// else's to write in, or the link is the user's or the folder owner's (as
// the kernel's protected_symlinks rule does for sticky folders).
bool LinkTrusted(int folder, const struct stat& link) {
    struct stat where {};
    if (::fstat(folder, &where) != 0) {
        return false;
    }
    const bool shared = (where.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == where.st_uid;
}

}  // namespace

QString SafeFile::Open(const QByteArray& name) {
    Reset();
    if (name.isEmpty()) {
        return QStringLiteral("falta el nombre del archivo");
    }
    if (IsStandardOutput(name)) {
        fd_ = STDOUT_FILENO;
        standardOutput_ = true;
        inPlace_ = true;
        QIODevice::open(WriteOnly | Unbuffered);
        return {};
    }
    const auto [folderName, base] = SplitName(name);
    if (base.isEmpty() || base == "." || base == "..") {
        return SystemErrorText(EISDIR);
    }
    folder_ = ::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        return detail::FolderOpenFailure(errno);
    }
    ownFolder_ = true;
    const QString why = OpenIn(folder_, base, 0);
    if (!why.isEmpty()) {
        Reset();
    }
    return why;
}

QString SafeFile::OpenIn(int folder, const QByteArray& base, int depth) {
    struct stat found {};
    if (::fstatat(folder, base.constData(), &found, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            return SystemErrorText(errno);
        }
        base_ = base;
        mode_ = 0666 & ~detail::CurrentUmask();
        return CreateTemporary(folder);
    }
    if (S_ISLNK(found.st_mode)) {
        if (!LinkTrusted(folder, found)) {
            return QStringLiteral(
                "es un enlace puesto por otro usuario en una carpeta compartida; no se sigue");
        }
        if (depth >= kMaxLinkDepth) {
            return SystemErrorText(ELOOP);
        }
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length =
            ::readlinkat(folder, base.constData(), target.data(), std::size_t(target.size()));
        if (length < 0 || length >= target.size()) {
            return SystemErrorText(length < 0 ? errno : ENAMETOOLONG);
        }
        target.truncate(length);
        const auto [targetFolder, targetBase] = SplitName(target);
        // A relative link is read from the link's own folder.
        const int next = ::openat(target.startsWith('/') ? AT_FDCWD : folder,
                                  targetFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (next < 0) {
            return errno == ENOENT ? QStringLiteral("es un enlace a un archivo que no existe")
                                   : detail::FolderOpenFailure(errno);
        }
        if (ownFolder_) {
            ::close(folder_);
        }
        folder_ = next;
        ownFolder_ = true;
        if (targetBase.isEmpty() || targetBase == "." || targetBase == "..") {
            return SystemErrorText(EISDIR);
        }
        struct stat pointed {};
        if (::fstatat(next, targetBase.constData(), &pointed, AT_SYMLINK_NOFOLLOW) != 0 &&
            errno == ENOENT) {
            return QStringLiteral("es un enlace a un archivo que no existe");
        }
        return OpenIn(next, targetBase, depth + 1);
    }
    targetDevice_ = found.st_dev;
    targetInode_ = found.st_ino;
    if (S_ISDIR(found.st_mode)) {
        return SystemErrorText(EISDIR);
    }
    if (S_ISCHR(found.st_mode)) {
        return OpenInPlace(folder, base, false);
    }
    if (S_ISFIFO(found.st_mode)) {
        return OpenInPlace(folder, base, true);
    }
    if (S_ISBLK(found.st_mode)) {
        return QStringLiteral("es un disco entero, no un archivo");
    }
    if (!S_ISREG(found.st_mode)) {
        return QStringLiteral("no es un archivo común");
    }
    // Checked before the permission itself, so that root is told the same.
    if ((found.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return QStringLiteral("el archivo es de solo lectura");
    }
    if (::faccessat(folder, base.constData(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == EACCES || errno == EPERM
                   ? QStringLiteral("no tiene permiso para escribirlo")
                   : SystemErrorText(errno);
    }
    base_ = base;
    replacing_ = true;
    mode_ = found.st_mode & 07777;
    owner_ = found.st_uid;
    group_ = found.st_gid;
    return CreateTemporary(folder);
}

QString SafeFile::OpenInPlace(int folder, const QByteArray& base, bool pipe) {
    // A pipe is opened without waiting: with no reader it is refused at once.
    const int flags = O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | (pipe ? O_NONBLOCK : 0);
    fd_ = ::openat(folder, base.constData(), flags);
    if (fd_ < 0) {
        if (pipe && errno == ENXIO) {
            return QStringLiteral("es una tubería que nadie está leyendo");
        }
        return errno == EACCES || errno == EPERM
                   ? QStringLiteral("no tiene permiso para escribirlo")
                   : SystemErrorText(errno);
    }
    if (pipe) {
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    }
    inPlace_ = true;
    QIODevice::open(WriteOnly | Unbuffered);
    return {};
}

}  // namespace platform
