// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <utility>

namespace platform {

// An exclusive lock between processes on the file `name` (bytes), made when
// missing and removed on release. The kernel drops a dead holder's lock, so
// a crash leaves nothing stale to wait for; nothing is flushed to disk. A
// link, pipe or anything but a plain file planted at the name is never
// opened through: the lock is then refused.
class FileLock {
  public:
    // `name` relative to the folder descriptor `folder` (AT_FDCWD: as it is).
    explicit FileLock(QByteArray name, int folder = kCurrentFolder)
        : name_(std::move(name)), folder_(folder) {}
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits up to `waitMs` milliseconds for the lock; false when another
    // holds it all that time or the file cannot be made.
    bool TryLock(int waitMs);

  private:
    static constexpr int kCurrentFolder = -100;  // AT_FDCWD
    QByteArray name_;
    int folder_;
    int fd_ = -1;
};

}  // namespace platform
