// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/ErrorTexts.h"

namespace platform {

namespace detail {

mode_t CurrentUmask() {
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace detail

namespace {

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

QString CreateFailure(int error) {
    if (error == EACCES || error == EPERM) {
        return QStringLiteral("no tiene permiso para escribir en la carpeta");
    }
    return SystemErrorText(error);
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
    mode_ = 0666 & ~detail::CurrentUmask();
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
