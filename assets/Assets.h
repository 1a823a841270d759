#pragma once

// Registers the voucher picture and the icon under ":/assets/". They live in
// a static library, whose resources the linker keeps only when something
// calls this; call it once at start-up, before the first use.
void InitAssets();
