// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>

namespace platform {

// A folder opened once and held: every name in it is then reached through
// this descriptor, so a folder renamed or swapped for a link while a run is
// going changes nothing of where its files go.
class Folder {
  public:
    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // `path` as bytes (EncodeName). With `create`, missing folders on the
    // way are made first. Empty when opened, else why not, in Spanish.
    QString Open(const QByteArray& path, bool create = false);
    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const QByteArray& path() const { return path_; }

  private:
    int fd_ = -1;
    QByteArray path_;
};

// Renames `from` to `to` in `folder` without ever replacing what is there:
// `*taken` is set when `to` exists. Works without hard links, as above.
QString MoveToNewName(const Folder& folder, const QByteArray& from, const QByteArray& to,
                      bool* taken);

// Leftover temporary files of runs killed while writing into `folder`
// (their writers hold a lock on them while alive) are removed.
void RemoveLeftovers(const Folder& folder);

// Test hook: makes hard links fail with `error` (0 restores them), as on a
// file system that has none.
void SimulateNoHardLinks(int error);

namespace detail {

// Shared by the folder and the safe writer: the temporary files' names, why
// a folder cannot be opened, and claiming a name that must be new (0, or
// the errno; EEXIST: taken).
extern const char kTemporaryPrefix[];
extern const char kTemporarySuffix[];
extern int simulatedLinkError;
QString FolderOpenFailure(int error);
int ClaimNewName(int folder, const char* from, const char* to);
// The process's umask, read without leaving it changed.
mode_t CurrentUmask();

}  // namespace detail

}  // namespace platform
