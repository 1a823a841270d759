#pragma once

namespace cli {

// Exit statuses of every command, as `--help` lists them.
constexpr int kDone = 0;
constexpr int kFailed = 1;      // no display for the window, out of memory
constexpr int kRefused = 2;     // bad option or value, or a voucher that does not validate
constexpr int kUnwritable = 3;  // the file could not be written

}  // namespace cli
