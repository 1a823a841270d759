// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace entry {

// Key codes as the entry boxes see them: the typed character's code, with
// the control keys that matter given their control codes. 0 discards a key.
enum KeyCode : int {
    kDiscard = 0,
    kCopy = 3,
    kBackspace = 8,
    kEnter = 13,
    kPaste = 22,
    kCut = 24,
};

// Digits and Backspace pass; every other key is discarded.
int FilterDigits(int key);

// The first character typed into an empty box becomes a capital (by the
// locale's case mapping, so ñ gives Ñ). A box holding anything, even a
// blank, leaves the key as typed.
int CapitalizeFirst(const QString& current, int key);

// The month box refuses a key that would make its text read above 12 (the
// key is judged as if appended at the end), then admits digits only.
int FilterMonth(const QString& current, int key);

}  // namespace entry
