#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A batch, a rerun, --un-pdf and --pdf onto a FAT stick, as a user plugs
# one in: a FAT image mounted through FUSE (fusefat), a file system with no
# hard links, no renameat2 flags and no file modes. Skipped (77), saying
# why, only where the kernel offers no FUSE.
set -u
talonario=$1
PATH=$PATH:/usr/sbin
if ! command -v fusefat >/dev/null || ! command -v mkfs.vfat >/dev/null; then
    echo "FAIL: fusefat and mkfs.vfat are missing (scripts/setup installs them)" >&2
    exit 1
fi
if [[ ! -c /dev/fuse ]]; then
    echo "SKIP: this machine has no /dev/fuse"
    exit 77
fi
work=$(mktemp -d)
stick=$work/stick
mkdir "$stick"
cleanup() {
    fusermount -u "$stick" 2>/dev/null || umount "$stick" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
truncate -s 32M "$work/fat.img"
mkfs.vfat "$work/fat.img" >/dev/null || exit 1
if ! fusefat -o rw+ "$work/fat.img" "$stick" >/dev/null 2>&1; then
    echo "SKIP: this kernel does not let FUSE mount here"
    exit 77
fi
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# The stick really has no hard links, or this test proves nothing.
echo x >"$stick/probe" && ! ln "$stick/probe" "$stick/probe2" 2>/dev/null || fail "the stick has hard links"
rm -f "$stick/probe" "$stick/probe2"

printf 'cuit;mes;anio;remuneracion\n20123456786;5;2026;1000\n20123456786;6;2026;2000\n27234567891;5;2026;3000\n' >"$work/lista.csv"
echo taken >"$stick/comprobante-20123456786-2026-05.pdf"
"$talonario" --lote "$work/lista.csv" --carpeta "$stick" >"$work/out" 2>"$work/err"
status=$?
((status == 0)) || { fail "batch: status $status"; cat "$work/err" >&2; }
[[ -s "$stick/comprobante-20123456786-2026-05 (2).pdf" ]] || fail "the numbered name was not claimed"
[[ $(cat "$stick/comprobante-20123456786-2026-05.pdf") == taken ]] || fail "a taken name was replaced"
[[ -s "$stick/comprobante-27234567891-2026-05.pdf" ]] || fail "a row was not written"
grep -q '3 escritos' "$work/err" || fail "batch: $(tail -1 "$work/err")"

"$talonario" --lote "$work/lista.csv" --carpeta "$stick" >"$work/out" 2>"$work/err"
grep -q '0 escritos (0 con avisos), 3 ya estaban' "$work/err" || fail "rerun: $(tail -1 "$work/err")"
ls "$stick"/resultado\ *.csv >/dev/null 2>&1 || fail "the earlier report was not kept"

"$talonario" --lote "$work/lista.csv" --carpeta "$work/one" --un-pdf "$stick/todos.pdf" >/dev/null 2>"$work/err" ||
    fail "--un-pdf: $(tail -1 "$work/err")"
[[ $(pdfinfo "$stick/todos.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}') == 6 ]] || fail "--un-pdf: not 6 pages"

"$talonario" --pdf "$stick/todos.pdf" --cuit 20123456786 --mes 5 --anio 2026 --remuneracion 1000 >/dev/null 2>"$work/err" ||
    fail "--pdf replacing a file: $(cat "$work/err")"
[[ $(pdfinfo "$stick/todos.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}') == 2 ]] || fail "--pdf: not 2 pages"

left=$(cd "$stick" && ls -A | grep '^\.' || true)
[[ -z $left ]] || fail "left on the stick: $left"
((failures == 0)) && echo "all passed"
exit $((failures > 0))
