// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include "platform/Folder.h"

namespace platform {

// One file the program writes, with the same guarantees whatever writes it:
// - the data goes to a new temporary file in the target's own folder,
//   created exclusively under an unpredictable name and reached through the
//   held folder (never through a link, never a FIFO left in its place), and
//   only once complete and on disk does it take the target's name; the
//   folder is flushed after the rename;
// - a replaced file keeps its mode (and owner, where allowed), a new one
//   gets the umask's mode;
// - a file with no write permission at all is refused even where root could
//   override it, and so is one the user may not write;
// - a character device, a pipe with a reader or the program's own standard
//   output is written in place, never replaced; a pipe with no reader is
//   refused at once instead of waiting for one; a disk device, a folder, a
//   socket or a link to nothing is refused;
// - a link is followed only when its folder is the user's own or the link
//   was made by the user or the folder's owner: another user's link in a
//   shared folder is never followed.
// Writes are collected through the QIODevice interface (a QPdfWriter can
// stream into it); the first failure is kept and told by Finish().
class SafeFile : public QIODevice {
  public:
    SafeFile();
    ~SafeFile() override;  // what is not finished is discarded

    // Opens `name` (bytes, as EncodeName gives them) to be replaced or
    // created. Empty when ready, else why not, in Spanish.
    QString Open(const QByteArray& name);
    // A temporary file in `folder`, for a name that must be new: see
    // FinishAsNew().
    QString OpenTemporary(const Folder& folder);

    // Gives the written data the name Open() was given. Empty when done.
    QString Finish();
    // Gives the written data the name `base` in the folder, never replacing
    // anything there: `*taken` is set (and nothing is lost) when the name is
    // in use, so the caller can try another. Works on file systems without
    // hard links (FAT, exFAT). Empty when done or taken.
    QString FinishAsNew(const QByteArray& base, bool* taken);
    // Gives the written data the name `base` in the folder of
    // OpenTemporary(), replacing whatever has that name without following it
    // (a link planted there is replaced, never written through).
    QString FinishReplacing(const QByteArray& base);
    // Drops what was written; the target is left as it was.
    void Discard();

    // Device and inode of the target as it was found, so that callers can
    // refuse an output that is one of their inputs; zero when new.
    dev_t targetDevice() const { return targetDevice_; }
    ino_t targetInode() const { return targetInode_; }
    bool inPlace() const { return inPlace_; }

    bool isSequential() const override { return true; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

  private:
    QString OpenIn(int folder, const QByteArray& base, int depth);
    QString OpenInPlace(int folder, const QByteArray& base, bool pipe);
    QString CreateTemporary(int folder);
    QString Settle();  // mode, owner, fsync, close of the temporary file
    void Reset();

    int folder_ = -1;
    bool ownFolder_ = false;
    int fd_ = -1;
    bool inPlace_ = false;
    bool standardOutput_ = false;
    bool settled_ = false;
    QByteArray base_;
    QByteArray temporary_;
    mode_t mode_ = 0;
    bool replacing_ = false;
    uid_t owner_ = 0;
    gid_t group_ = 0;
    dev_t targetDevice_ = 0;
    ino_t targetInode_ = 0;
    int error_ = 0;  // the first failed write's errno
};

// Writes `data` as the file named `name` through a SafeFile. Empty when
// written, else why not, in Spanish.
QString WriteFileSafely(const QByteArray& name, const QByteArray& data);

// Whether `name` is the very file the program's standard output goes to.
bool IsStandardOutput(const QByteArray& name);

}  // namespace platform
