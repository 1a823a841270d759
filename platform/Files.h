#pragma once

#include <QByteArray>
#include <QString>
#include <utility>

namespace platform {

// File names are bytes; Qt's own decoding turns bytes that are not UTF-8
// into U+FFFD and so names a different file. These two keep every name:
// a byte that starts no valid UTF-8 sequence becomes the lone surrogate
// U+DC80..U+DCFF and goes back to the same byte.
QString DecodeName(const QByteArray& bytes);
QByteArray EncodeName(const QString& name);

// `text` fit for a one-line message: control characters, and the bytes kept
// by DecodeName, are shown escaped (\t, \n, \x1B, \xE9); everything else,
// characters outside the 16-bit range included, is shown as it is.
QString Printable(const QString& text);

}  // namespace platform

namespace platform {

// Writes `data` as the file named `name` (bytes, as EncodeName gives them)
// without ever leaving half a file or replacing what is not a plain file:
// - a regular file, or a new name, is written under a temporary name in the
//   same folder, flushed to disk and renamed over it; a replaced file keeps
//   its mode (and owner, where allowed), a new one gets the umask's mode;
// - a file the user may not write, or one with no write permission at all,
//   is refused even where root could override it;
// - a device, pipe or the program's own standard output is written in place,
//   never replaced;
// - a folder, or a link to nothing, is refused.
// Returns an empty string when written, else why not, in Spanish.
QString WriteFileSafely(const QByteArray& name, const QByteArray& data);

// Whether `name` is the very file the program's standard output goes to.
bool IsStandardOutput(const QByteArray& name);

// An exclusive lock between processes on the file `name` (bytes), made when
// missing and removed on release. The kernel drops a dead holder's lock, so
// a crash leaves nothing stale to wait for; nothing is flushed to disk, as
// the lock lives only as long as a picture's round trip.
class FileLock {
  public:
    explicit FileLock(QByteArray name) : name_(std::move(name)) {}
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits up to `waitMs` milliseconds for the lock; false when another
    // holds it all that time or the file cannot be made.
    bool TryLock(int waitMs);

  private:
    QByteArray name_;
    int fd_ = -1;
};

}  // namespace platform
