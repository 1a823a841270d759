// SPDX-License-Identifier: GPL-3.0-or-later
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
