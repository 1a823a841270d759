// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <QByteArray>
#include <QString>

namespace platform {

// Opens `name` in `folder` (AT_FDCWD: the current one) to be read, never
// waiting on it (a FIFO, a device), and only when it is a plain file of at
// most `maxBytes`. The descriptor, its `info`; -1 and `why`, in Spanish,
// otherwise.
int OpenInput(int folder, const QByteArray& name, qint64 maxBytes, QString& why, struct stat& info);

}  // namespace platform
