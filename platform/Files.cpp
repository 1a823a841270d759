// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Files.h"

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
