// SPDX-License-Identifier: GPL-3.0-or-later
// File names as bytes and their one-line display: any bytes come back as the same bytes, and
// what a message shows of any text holds no control character and no lone surrogate.
#include <QByteArray>

#include "FuzzInput.h"
#include "platform/Files.h"

namespace {

bool Shows(char16_t unit) {
    return unit >= 0x20 && unit != 0x7F && !(unit >= 0x80 && unit < 0xA0);
}

void CheckPrintable(const QString& text) {
    const QString shown = platform::Printable(text);
    bool plain = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (!Shows(c.unicode()) || c.isSurrogate()) {
            plain = false;
        }
    }
    // Fit for one line: only characters that show, surrogates only in pairs.
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown[i];
        if (c.isHighSurrogate() && i + 1 < shown.size() && shown[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        FUZZ_CHECK(Shows(c.unicode()) && !c.isSurrogate());
    }
    // A text that shows as it is, is shown unchanged.
    if (plain) {
        FUZZ_CHECK(shown == text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString name = platform::DecodeName(bytes);
    FUZZ_CHECK(platform::EncodeName(name) == bytes);
    FUZZ_CHECK(platform::DecodeName(platform::EncodeName(name)) == name);
    // Valid UTF-8 is decoded as Qt decodes it.
    if (bytes.isValidUtf8()) {
        FUZZ_CHECK(name == QString::fromUtf8(bytes));
    }
    CheckPrintable(name);
    // The same bytes as UTF-16, lone surrogates and all.
    CheckPrintable(QString(reinterpret_cast<const QChar*>(data), qsizetype(size / 2)));
    return 0;
}
