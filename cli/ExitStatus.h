// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace cli {

// Exit statuses of every command, as `--help` lists them.
constexpr int kDone = 0;
constexpr int kFailed = 1;         // no display for the window, out of memory
constexpr int kRefused = 2;        // bad option or value, or a voucher that does not validate
constexpr int kUnwritable = 3;     // the file could not be written
constexpr int kSomeRefused = 4;    // a batch wrote what it could; some rows did not validate
constexpr int kNoRecord = 5;       // the record could not be read (--historial, --reimprimir...)
constexpr int kInterrupted = 130;  // Ctrl+C, as the shell reports a SIGINT

}  // namespace cli
