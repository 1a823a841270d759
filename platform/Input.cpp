// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ErrorTexts.h"

namespace platform {

int OpenInput(int folder, const QByteArray& name, qint64 maxBytes, QString& why,
              struct stat& info) {
    const int fd = ::openat(folder, name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        why = SystemErrorText(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0) {
        why = SystemErrorText(errno);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? SystemErrorText(EISDIR)
                                    : QStringLiteral("no es un archivo común");
        ::close(fd);
        return -1;
    }
    if (info.st_size > maxBytes) {
        why = QStringLiteral("ocupa más de %1 MB").arg(maxBytes / (1024 * 1024));
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace platform
