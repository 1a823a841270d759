// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QThread>

namespace platform {

static_assert(AT_FDCWD == -100, "FileLock's default folder is AT_FDCWD");

FileLock::~FileLock() {
    if (fd_ >= 0) {
        // Unlinked while still held: a waiter that opened the old file sees
        // its name gone and starts again on a new one.
        ::unlinkat(folder_, name_.constData(), 0);
        ::close(fd_);
    }
}

bool FileLock::TryLock(int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    while (fd_ < 0) {
        // Read-only is enough for flock, and lets users of a shared folder
        // lock a file another of them made; O_NONBLOCK keeps a planted FIFO
        // from holding us up.
        const int fd = ::openat(folder_, name_.constData(),
                                O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
        if (fd < 0) {
            return false;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            ::close(fd);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folder_, name_.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            fd_ = fd;
            break;
        }
        ::close(fd);
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(2);
    }
    return true;
}

}  // namespace platform
