// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QImage;

// Registers the voucher picture and the icon under ":/assets/". They live in
// a static library, whose resources the linker keeps only when something
// calls this; call it once at start-up, before the first use.
void InitAssets();

namespace assets {

// A bitmap compiled into the program, read straight from its memory (the
// resources are stored uncompressed) without Qt's image plugins.
QImage ResourcePicture(const char* name);

}  // namespace assets
