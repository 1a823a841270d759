#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds the program alone, tests and benchmarks off, in a
# throwaway folder, with the packages only they need made unfindable: the
# program must build with a compiler, CMake, Ninja and Qt Widgets and
# PrintSupport alone. BUILD_DIR lies beside the main build folder, at the
# same depth, so that ccache (scripts/ccache-env) serves it the main build's
# objects, whose compile lines are the same: what this build adds is its own
# configuration, the check for warnings and the link.
# Usage: lean_build.sh SOURCE_DIR BUILD_DIR
set -euo pipefail

source_dir=$1
build=$2
rm -rf "$build"
mkdir -p "$build"
trap 'rm -rf "$build"' EXIT
source "$source_dir/scripts/ccache-env" "$source_dir"
# Warnings as errors, as in the main build, so the compile lines are the same.
cmake -S "$source_dir" --preset run -B "$build" "${launcher[@]}" \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Test=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 1; }
# zint and zbar are looked up without find_package: neither may be in the cache.
if grep -Ei '^(ZINT|ZBAR)[A-Z_]*:' "$build/CMakeCache.txt"; then
    echo "FAIL: the lean configuration looked for a test or benchmark library" >&2
    exit 1
fi
cmake --build "$build" -j2 >"$build/build.log" 2>&1 || { tail -50 "$build/build.log" >&2; exit 1; }
if grep -q 'warning:' "$build/build.log"; then
    grep 'warning:' "$build/build.log" >&2
    echo "FAIL: the lean build has warnings" >&2
    exit 1
fi
[[ -x $build/main/talonario ]] || { echo "FAIL: no program built" >&2; exit 1; }
echo "built with tests and benchmarks off: $(grep -c '^\[' "$build/build.log") steps"
