#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built tree into a throwaway prefix and checks what a desktop
# reads from it: the desktop entry and AppStream file validate, the manual
# page formats without warnings and documents every option --help names,
# every theme icon has its size and a see-through background, and the
# installed program's window has the class the desktop entry names, so the
# window is matched to its menu entry.
# Usage: installed_files.sh BUILD_DIR
set -euo pipefail

build=$1
app_id=ar.talonario.Talonario
prefix=$(mktemp -d)
# ImageMagick's own temporary files (the SVG's rendering) go with the test's.
MAGICK_TEMPORARY_PATH=$(mktemp -d)
export MAGICK_TEMPORARY_PATH
trap 'rm -rf "$prefix" "$MAGICK_TEMPORARY_PATH"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share

desktop=$share/applications/$app_id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" ||
    fail "appstreamcli refused the metainfo file"
grep -qx "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    <(sed 's/^ *//' "$share/metainfo/$app_id.metainfo.xml") ||
    fail "the metainfo file does not launch $app_id.desktop"

# As lintian formats it: any warning from groff is a fault in the page.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$share/man/man1/talonario.1.gz" 2>&1 >/dev/null)
[[ -z $warnings ]] || fail "the manual page formats with warnings: $warnings"
[[ -x $prefix/bin/talonario ]] || fail "no program in bin/"
# Every option the program names in its help has its entry in the page.
page=$(zcat "$share/man/man1/talonario.1.gz" | sed 's/\\-/-/g')
help=$(QT_QPA_PLATFORM=offscreen "$prefix/bin/talonario" --help 2>/dev/null) ||
    fail "talonario --help failed"
while read -r option; do
    grep -qE -- "$option([^a-z-]|\$)" <<<"$page" || fail "the manual page does not document $option"
done < <(grep -o -- '--[a-z][a-z-]*' <<<"$help" | sort -u)

icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ $icon == "$app_id" ]] || fail "the desktop entry's icon is '$icon', not $app_id"
for size in 16 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$icon.png
    [[ -f $png ]] || fail "no $size px icon"
    got=$(identify -format '%w %h %[channels] %[pixel:p{0,0}]' "$png")
    [[ $got == "$size $size srgba srgba(0,0,0,0)" ]] ||
        fail "the $size px icon is '$got', not $size x $size with a transparent corner"
done
svg=$share/icons/hicolor/scalable/apps/$icon.svg
got=$(convert -background none "$svg" -format '%[channels] %[pixel:p{0,0}]' info:)
[[ $got == "srgba srgba(0,0,0,0)" ]] || fail "the SVG icon renders as '$got', not transparent"

# The window's WM_CLASS is (instance, class); the class is what the desktop matches.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[[ -n $wm_class ]] || fail "the desktop entry names no StartupWMClass"
talonario=$prefix/bin/talonario
# shellcheck source=tests/e2e/x11_session.sh
source "$(dirname "$0")/../e2e/x11_session.sh"
# The session's own exit trap replaced ours: both clean up.
trap 'cleanup; rm -rf "$prefix" "$MAGICK_TEMPORARY_PATH"' EXIT
start_talonario
got=$(xprop -id "$window" WM_CLASS)
[[ $got == "WM_CLASS(STRING) = \"talonario\", \"$wm_class\"" ]] ||
    fail "the window's class is $got; the desktop entry says $wm_class"
echo "installed files and the window's class check out"
