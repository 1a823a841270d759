#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from the built tree with CPack into OUT_DIR.
# Usage: deb_package.sh BUILD_DIR OUT_DIR
set -euo pipefail

build=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; exit 1; }
rm -rf "$out/_CPack_Packages"
ls "$out"/talonario_*.deb
