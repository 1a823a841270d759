#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package unpacked into a throwaway root, every file of it read-only, and
# its talonario --pdf run from there: it must write a valid two-page PDF with
# the payment code, and leave the unpacked tree as it was. Root writes
# through read-only modes, so as root the program runs as nobody.
# Usage: deb_read_only.sh OUT_DIR
set -euo pipefail

deb=$(ls "$1"/talonario_*.deb)
scratch=$(mktemp -d)
cleanup() {
    chmod -R u+w "$scratch" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

chmod 755 "$scratch"
root=$scratch/root
out=$scratch/out
runtime=$scratch/runtime
mkdir -p "$root" "$out" "$runtime"
dpkg-deb -x "$deb" "$root"
chmod -R a-w "$root"
as_user=()
if [[ $(id -u) -eq 0 ]]; then
    chown nobody "$out" "$runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env)
fi
chmod 755 "$out"
chmod 700 "$runtime"
before=$(cd "$root" && find . -printf '%p %m %s %T@\n' | sort)

code=$(cd "$out" && "${as_user[@]}" env XDG_RUNTIME_DIR="$runtime" HOME="$out" QT_QPA_PLATFORM=offscreen \
    "$root/usr/bin/talonario" --pdf "$out/voucher.pdf" --cuit 20123456786 --mes 5 --anio 2026 \
    --remuneracion 100000,50 --recargo 120,50) ||
    fail "talonario --pdf from the read-only tree exited $?"
[[ $code == 52472012345678600162050 ]] || fail "payment code '$code'"
info=$(pdfinfo "$out/voucher.pdf") || fail "not a valid PDF"
grep -q '^Pages: *2$' <<<"$info" || fail "the PDF does not have two pages: $info"
after=$(cd "$root" && find . -printf '%p %m %s %T@\n' | sort)
[[ $before == "$after" ]] || fail "the program changed its own tree: $(diff <(echo "$before") <(echo "$after"))"
echo "the unpacked package wrote a two-page PDF from a read-only tree"
