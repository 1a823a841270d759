// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SafeFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/ErrorTexts.h"

namespace platform {

namespace {

// Links followed one after the other before the name is refused.
constexpr int kMaxLinkDepth = 8;

mode_t CurrentUmask() {
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// write() until done; errno tells why not.
bool WriteAll(int fd, const char* data, qint64 length) {
    qint64 written = 0;
    while (written < length) {
        const ssize_t n = ::write(fd, data + written, size_t(length - written));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        written += n;
    }
    return true;
}

QByteArray RandomTemporaryName() {
    unsigned char random[8] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        // No entropy to be had: the clock and the process still make a name
        // that O_EXCL keeps from ever meeting another file.
        const auto mixed = static_cast<quint64>(std::time(nullptr)) * 6364136223846793005ULL ^
                           static_cast<quint64>(::getpid()) ^ reinterpret_cast<quintptr>(&random);
        for (std::size_t i = 0; i < sizeof random; ++i) {
            random[i] = static_cast<unsigned char>(mixed >> (8 * i));
        }
    }
    return detail::kTemporaryPrefix +
           QByteArray(reinterpret_cast<const char*>(random), sizeof random).toHex() +
           detail::kTemporarySuffix;
}

// "a/b/c.pdf" -> "a/b", "c.pdf"; "c.pdf" -> ".", "c.pdf"; "/c" -> "/", "c".
std::pair<QByteArray, QByteArray> SplitName(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0) {
        return {QByteArray("."), name};
    }
    return {slash == 0 ? QByteArray("/") : name.left(slash), name.mid(slash + 1)};
}

QString CreateFailure(int error) {
    if (error == EACCES || error == EPERM) {
        return QStringLiteral("no tiene permiso para escribir en la carpeta");
    }
    return SystemErrorText(error);
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

// ---------------------------------------------------------------- SafeFile

SafeFile::SafeFile() = default;

SafeFile::~SafeFile() {
    Discard();
}

void SafeFile::Reset() {
    if (fd_ >= 0 && !standardOutput_) {
        ::close(fd_);
    }
    fd_ = -1;
    if (!temporary_.isEmpty() && folder_ >= 0) {
        ::unlinkat(folder_, temporary_.constData(), 0);
    }
    temporary_.clear();
    if (ownFolder_ && folder_ >= 0) {
        ::close(folder_);
    }
    folder_ = -1;
    ownFolder_ = false;
    inPlace_ = false;
    standardOutput_ = false;
    settled_ = false;
    replacing_ = false;
    error_ = 0;
    if (isOpen()) {
        close();
    }
}

void SafeFile::Discard() {
    Reset();
}

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
        mode_ = 0666 & ~CurrentUmask();
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

QString SafeFile::CreateTemporary(int folder) {
    folder_ = folder;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray name = RandomTemporaryName();
        fd_ = ::openat(folder, name.constData(),
                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            temporary_ = name;
            // Held while this process lives: a run that finds it unlocked
            // knows its writer is gone.
            ::flock(fd_, LOCK_EX | LOCK_NB);
            QIODevice::open(WriteOnly | Unbuffered);
            return {};
        }
        if (errno != EEXIST) {
            return CreateFailure(errno);
        }
    }
    return CreateFailure(EEXIST);
}

qint64 SafeFile::writeData(const char* data, qint64 length) {
    if (error_ != 0 || fd_ < 0) {
        return -1;
    }
    if (!WriteAll(fd_, data, length)) {
        error_ = errno;
        return -1;
    }
    return length;
}

QString SafeFile::Settle() {
    if (settled_) {
        return {};
    }
    if (error_ != 0) {
        return SystemErrorText(error_);
    }
    // File systems without modes (FAT, exFAT) refuse the change: the data
    // matters, the mode is theirs to give.
    (void)!::fchmod(fd_, mode_);
    if (replacing_ && (owner_ != ::geteuid() || group_ != ::getegid())) {
        // Only root may give a file away; anyone else keeps it as their own.
        (void)!::fchown(fd_, owner_, group_);
        ::fchmod(fd_, mode_);  // a change of owner clears set-id bits
    }
    if (::fsync(fd_) != 0) {
        return SystemErrorText(errno);
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        return SystemErrorText(errno);
    }
    settled_ = true;
    return {};
}

QString SafeFile::Finish() {
    if (folder_ < 0 && !inPlace_) {
        return QStringLiteral("el archivo no está abierto");
    }
    if (!inPlace_) {
        return FinishReplacing(QByteArray(base_));
    }
    QString why;
    if (error_ != 0) {
        why = SystemErrorText(error_);
    } else if (!standardOutput_ && ::close(fd_) != 0) {
        why = SystemErrorText(errno);
    }
    if (!standardOutput_) {
        fd_ = -1;
    }
    Reset();
    return why;
}

QString SafeFile::OpenTemporary(const Folder& folder) {
    Reset();
    if (!folder.isOpen()) {
        return QStringLiteral("la carpeta no está abierta");
    }
    mode_ = 0666 & ~CurrentUmask();
    const QString why = CreateTemporary(folder.fd());
    if (!why.isEmpty()) {
        Reset();
    }
    return why;
}

QString SafeFile::FinishAsNew(const QByteArray& base, bool* taken) {
    *taken = false;
    if (temporary_.isEmpty()) {
        return QStringLiteral("el archivo no está abierto");
    }
    if (const QString why = Settle(); !why.isEmpty()) {
        Reset();
        return why;
    }
    const int error = detail::ClaimNewName(folder_, temporary_.constData(), base.constData());
    if (error == EEXIST) {
        *taken = true;
        return {};
    }
    if (error != 0) {
        const QString why = SystemErrorText(error);
        Reset();
        return why;
    }
    temporary_.clear();
    ::fsync(folder_);
    Reset();
    return {};
}

QString SafeFile::FinishReplacing(const QByteArray& base) {
    if (temporary_.isEmpty()) {
        return QStringLiteral("el archivo no está abierto");
    }
    QString why = Settle();
    if (why.isEmpty()) {
        if (::renameat(folder_, temporary_.constData(), folder_, base.constData()) != 0) {
            why = SystemErrorText(errno);
        } else {
            temporary_.clear();
            // The rename itself reaches the disk with the folder.
            ::fsync(folder_);
        }
    }
    Reset();
    return why;
}

// ------------------------------------------------------------ free functions

QString WriteFileSafely(const QByteArray& name, const QByteArray& data) {
    SafeFile file;
    if (const QString why = file.Open(name); !why.isEmpty()) {
        return why;
    }
    file.write(data);
    return file.Finish();
}

bool IsStandardOutput(const QByteArray& name) {
    struct stat target {};
    struct stat out {};
    return ::stat(name.constData(), &target) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
           target.st_dev == out.st_dev && target.st_ino == out.st_ino;
}

}  // namespace platform
