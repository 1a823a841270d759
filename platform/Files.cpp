#include "platform/Files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "platform/ErrorTexts.h"

namespace platform {

namespace {

constexpr char16_t kEscapedByte = 0xDC00;

// Length of the valid UTF-8 sequence starting at `at`, or 0 (RFC 3629: no
// overlong forms, no surrogates, nothing above U+10FFFF).
int ValidSequence(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    if (byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

QString Hex(const char* prefix, int value, int digits) {
    return QLatin1String(prefix) +
           QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

bool IsEscapedByte(char16_t unit) {
    return unit >= kEscapedByte + 0x80 && unit <= kEscapedByte + 0xFF;
}

}  // namespace

QString DecodeName(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const int length = ValidSequence(bytes, at);
        if (length == 0) {
            name += QChar(char16_t(kEscapedByte + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + at, length);
        at += length;
    }
    return name;
}

QByteArray EncodeName(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            bytes += QStringView(name).mid(i, 2).toUtf8();
            ++i;
        } else if (IsEscapedByte(unit)) {
            bytes += char(unit - kEscapedByte);
        } else {
            bytes += QStringView(name).mid(i, 1).toUtf8();
        }
    }
    return bytes;
}

QString Printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += text[i];
            shown += text[++i];
        } else if (unit == u'\n') {
            shown += QStringLiteral("\\n");
        } else if (unit == u'\t') {
            shown += QStringLiteral("\\t");
        } else if (unit == u'\r') {
            shown += QStringLiteral("\\r");
        } else if (unit < 0x20 || unit == 0x7F || (unit >= 0x80 && unit < 0xA0)) {
            shown += Hex("\\x", unit, 2);
        } else if (IsEscapedByte(unit)) {
            shown += Hex("\\x", unit - kEscapedByte, 2);
        } else if (QChar::isSurrogate(unit)) {
            shown += Hex("\\u", unit, 4);
        } else {
            shown += text[i];
        }
    }
    return shown;
}

}  // namespace platform

namespace platform {

namespace {

// A file name may hold 255 bytes; the temporary one adds a dot and ".XXXXXX".
constexpr qsizetype kMaxNameBytes = 255;
constexpr qsizetype kTemporaryExtra = 8;

// Why a file cannot be written, in the words of writing one; any other
// reason as the system's, in Spanish.
QString Why(int error) {
    switch (error) {
        case ENOENT:
            return QStringLiteral("la carpeta no existe");
        case ENOTDIR:
            return QStringLiteral("una parte del camino no es una carpeta");
        case EACCES:
        case EPERM:
            return QStringLiteral("no tiene permiso para escribirlo");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("el disco está lleno");
        case EROFS:
            return QStringLiteral("el disco es de solo lectura");
        case EISDIR:
            return QStringLiteral("es una carpeta");
        case ENAMETOOLONG:
            return QStringLiteral("el nombre es demasiado largo");
        case ELOOP:
            return QStringLiteral("hay demasiados enlaces en el camino");
        case EIO:
            return QStringLiteral("error de lectura o escritura en el disco");
        case ETXTBSY:
        case EBUSY:
            return QStringLiteral("el archivo está en uso");
        default:
            return SystemErrorText(error);
    }
}

// write() until done; errno tells why not.
bool WriteAll(int fd, const QByteArray& data) {
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + written, size_t(data.size() - written));
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

mode_t CurrentUmask() {
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Devices, pipes and standard output: written as they are, never replaced.
QString WriteInPlace(const QByteArray& name, const QByteArray& data, bool standardOutput) {
    const int fd = standardOutput ? STDOUT_FILENO : ::open(name.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return Why(errno);
    }
    const bool written = WriteAll(fd, data);
    const int error = errno;
    if (!standardOutput) {
        ::close(fd);
    }
    return written ? QString() : Why(error);
}

}  // namespace

bool IsStandardOutput(const QByteArray& name) {
    struct stat target {};
    struct stat out {};
    return ::stat(name.constData(), &target) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 &&
           target.st_dev == out.st_dev && target.st_ino == out.st_ino;
}

QString WriteFileSafely(const QByteArray& name, const QByteArray& data) {
    if (name.isEmpty()) {
        return Why(ENOENT);
    }
    QByteArray target = name;
    struct stat existing {};
    bool replacing = false;
    if (::stat(name.constData(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            return Why(EISDIR);
        }
        if (IsStandardOutput(name)) {
            return WriteInPlace(name, data, true);
        }
        if (!S_ISREG(existing.st_mode)) {
            return WriteInPlace(name, data, false);
        }
        if (::access(name.constData(), W_OK) != 0) {
            return Why(errno);
        }
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return QStringLiteral("el archivo es de solo lectura");
        }
        // Through a link the file it points to is replaced, and the link kept.
        if (char* resolved = ::realpath(name.constData(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
        replacing = true;
    } else if (errno != ENOENT) {
        return Why(errno);
    } else if (struct stat link{}; ::lstat(name.constData(), &link) == 0) {
        return QStringLiteral("es un enlace a un archivo que no existe");
    }

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(slash + 1);
    QByteArray base = slash < 0 ? target : target.mid(slash + 1);
    if (base.size() > kMaxNameBytes - kTemporaryExtra) {
        // Shortened on a character boundary, so the name stays valid UTF-8.
        qsizetype cut = kMaxNameBytes - kTemporaryExtra;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        base.truncate(cut);
    }
    QByteArray temporary = (slash < 0 ? QByteArray() : folder) + '.' + base + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno == EACCES || errno == EPERM
                   ? QStringLiteral("no tiene permiso para escribir en la carpeta")
                   : Why(errno);
    }
    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.constData());
        return Why(error);
    };
    if (!WriteAll(fd, data)) {
        return fail(errno);
    }
    const mode_t mode = replacing ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(fd, mode) != 0) {
        return fail(errno);
    }
    if (replacing && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
        // Only root may give a file away; anyone else keeps it as their own.
        (void)!::fchown(fd, existing.st_uid, existing.st_gid);
        ::fchmod(fd, mode);  // a change of owner clears set-id bits
    }
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return Why(error);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return Why(error);
    }
    // The rename itself reaches the disk with the folder.
    if (const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        // Unlinked while still held: a waiter that opened the old file sees
        // its name gone and starts again on a new one.
        ::unlink(name_.constData());
        ::close(fd_);
    }
}

bool FileLock::TryLock(int waitMs) {
    const QDeadlineTimer deadline(waitMs);
    while (fd_ < 0) {
        const int fd = ::open(name_.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            return false;
        }
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
            ::stat(name_.constData(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
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
