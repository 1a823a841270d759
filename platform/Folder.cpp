// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/ErrorTexts.h"

namespace platform {

namespace detail {

// Temporary names: ".talonario-" and 16 random hex digits, ".part".
const char kTemporaryPrefix[] = ".talonario-";
const char kTemporarySuffix[] = ".part";
int simulatedLinkError = 0;

namespace {

// A leftover younger than this may still be between its creation and its
// writer's lock: it is left for the next run.
constexpr time_t kLeftoverAgeSeconds = 2;

}  // namespace

QString FolderOpenFailure(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("la carpeta no existe");
        case EACCES:
            return QStringLiteral("no tiene permiso para entrar en la carpeta");
        default:
            return SystemErrorText(error);
    }
}

// Renames `from` to `to` only if `to` is free; 0, or the errno (EEXIST: taken).
// renameat2 claims the name only if it is free; where the kernel or the file
// system lacks it, a hard link does the same; where there are no hard links
// either (FAT, exFAT), an empty file made exclusively holds the name until
// the data is renamed over it.
int ClaimNewName(int folder, const char* from, const char* to) {
    if (simulatedLinkError == 0 && ::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (simulatedLinkError == 0 && errno == EEXIST) {
        return EEXIST;
    }
    if (simulatedLinkError == 0 && ::linkat(folder, from, folder, to, 0) == 0) {
        ::unlinkat(folder, from, 0);
        return 0;
    }
    if (simulatedLinkError == 0 && errno == EEXIST) {
        return EEXIST;
    }
    const int holder =
        ::openat(folder, to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (holder < 0) {
        return errno;
    }
    ::close(holder);
    if (::renameat(folder, from, folder, to) != 0) {
        const int error = errno;
        ::unlinkat(folder, to, 0);
        return error;
    }
    return 0;
}

}  // namespace detail

// ------------------------------------------------------------------ Folder

Folder::~Folder() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

Folder::Folder(Folder&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

Folder& Folder::operator=(Folder&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

QString Folder::Open(const QByteArray& path, bool create) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    path_ = path.isEmpty() ? QByteArray(".") : path;
    if (create) {
        // Each missing folder on the way, as `mkdir -p` makes them.
        for (qsizetype at = 1; at <= path_.size(); ++at) {
            if (at == path_.size() || path_[at] == '/') {
                const QByteArray part = path_.left(at);
                if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST) {
                    if (errno == EACCES || errno == EPERM) {
                        return QStringLiteral("no tiene permiso para crear la carpeta");
                    }
                    return SystemErrorText(errno);
                }
            }
        }
    }
    fd_ = ::open(path_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        return detail::FolderOpenFailure(errno);
    }
    return {};
}

QString MoveToNewName(const Folder& folder, const QByteArray& from, const QByteArray& to,
                      bool* taken) {
    *taken = false;
    const int error = detail::ClaimNewName(folder.fd(), from.constData(), to.constData());
    if (error == EEXIST) {
        *taken = true;
        return {};
    }
    if (error != 0) {
        return SystemErrorText(error);
    }
    ::fsync(folder.fd());
    return {};
}

void RemoveLeftovers(const Folder& folder) {
    if (!folder.isOpen()) {
        return;
    }
    const int listing = ::openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0) {
        return;
    }
    DIR* entries = ::fdopendir(listing);
    if (entries == nullptr) {
        ::close(listing);
        return;
    }
    const QByteArray prefix(detail::kTemporaryPrefix);
    const QByteArray suffix(detail::kTemporarySuffix);
    while (const dirent* entry = ::readdir(entries)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith(prefix) || !name.endsWith(suffix)) {
            continue;
        }
        const int fd = ::openat(folder.fd(), entry->d_name,
                                O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            // A link or some other thing planted under our pattern: not ours
            // to open, but never anything a run left; it is removed.
            struct stat planted {};
            if (::fstatat(folder.fd(), entry->d_name, &planted, AT_SYMLINK_NOFOLLOW) == 0 &&
                !S_ISREG(planted.st_mode) && !S_ISDIR(planted.st_mode)) {
                ::unlinkat(folder.fd(), entry->d_name, 0);
            }
            continue;
        }
        struct stat info {};
        const bool stale = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                           std::time(nullptr) - info.st_mtime >= detail::kLeftoverAgeSeconds &&
                           ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        if (stale || (::fstat(fd, &info) == 0 && !S_ISREG(info.st_mode))) {
            ::unlinkat(folder.fd(), entry->d_name, 0);
        }
        ::close(fd);
    }
    ::closedir(entries);
}

void SimulateNoHardLinks(int error) {
    detail::simulatedLinkError = error;
}

}  // namespace platform
