#pragma once

#include <QByteArray>
#include <QString>

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

}  // namespace platform
