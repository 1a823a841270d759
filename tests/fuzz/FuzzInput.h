// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Helpers shared by the fuzz targets.

// The fuzzer's bytes as texts: one per line, each read as UTF-8, so seeds stay readable and any
// character the boxes can hold, pasted or typed, is reachable. Missing lines are empty.
inline QStringList Lines(const std::uint8_t* data, std::size_t size, qsizetype count) {
    QStringList lines =
        QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size)).split(u'\n');
    while (lines.size() < count) {
        lines.append(QString());
    }
    return lines;
}

// A property that failed: says which, then aborts so that libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
    std::abort();
}

#define FUZZ_CHECK(condition)                     \
    do {                                          \
        if (!(condition)) {                       \
            Fail(__FILE__, __LINE__, #condition); \
        }                                         \
    } while (false)
