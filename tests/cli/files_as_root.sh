#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What only root can set up: device nodes as targets, a full disk, a
# read-only program folder and another user's picCode.bmp in /tmp. Runs in a
# private mount namespace with its own /dev and /tmp (tmpfs), so the
# machine's own are never touched. A normal user runs it through sudo
# (non-interactive); without root, sudo or namespaces it fails, never skips.
set -u
talonario=$1

if [[ ${TALONARIO_IN_NAMESPACE:-} != 1 ]]; then
    if [[ $(id -u) != 0 ]]; then
        if ! sudo -n true 2>/dev/null; then
            echo "FAIL: needs root, or sudo without a password (sudo -n)" >&2
            exit 1
        fi
        exec sudo -n bash "$0" "$@"
    fi
    if ! unshare -m --propagation private true 2>/dev/null; then
        echo "FAIL: cannot make a private mount namespace (unshare -m)" >&2
        exit 1
    fi
    TALONARIO_IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

mount -t tmpfs -o mode=755 talonario-dev /dev || exit 1
mknod -m 666 /dev/null c 1 3
mknod -m 666 /dev/full c 1 7
mknod -m 666 /dev/zero c 1 5
mknod -m 666 /dev/urandom c 1 9
ln -s /proc/self/fd /dev/fd
ln -s /proc/self/fd/1 /dev/stdout
ln -s /proc/self/fd/2 /dev/stderr
# The program's folder stays reachable when it lies under /tmp (a clone there):
# it is bound on a spare mount point of this namespace before /tmp is covered.
for spare in /mnt /media /srv /opt; do
    if [[ -d $spare ]]; then
        mount --bind "$(dirname "$talonario")" "$spare" || exit 1
        talonario=$spare/$(basename "$talonario")
        break
    fi
done
mount -t tmpfs -o mode=1777 talonario-tmp /tmp || exit 1
work=$(mktemp -d)
unset XDG_RUNTIME_DIR TMPDIR DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

voucher=(--cuit 20123456789 --mes 5 --anio 2026 --remuneracion 1000)
code=52472012345678900001500

# run NAME STATUS ARGS...: runs talonario (as ${runner[@]}), checks its exit status.
runner=()
run() {
    local name=$1 expected=$2
    shift 2
    "${runner[@]}" "$talonario" "$@" >"$work/out" 2>"$work/err"
    local status=$?
    ((status == expected)) || { fail "$name: status $status, not $expected"; cat "$work/err" >&2; }
}

run "pdf to /dev/null" 0 --pdf /dev/null "${voucher[@]}"
[[ -c /dev/null ]] || fail "/dev/null was replaced"
grep -qx "$code" "$work/out" || fail "pdf to /dev/null: no payment code"

run "pdf to /dev/full" 3 --pdf /dev/full "${voucher[@]}"
[[ -c /dev/full ]] || fail "/dev/full was replaced"
grep -q "el disco está lleno" "$work/err" || fail "pdf to /dev/full: no Spanish reason"
[[ ! -s $work/out ]] || fail "pdf to /dev/full printed a code"

"$talonario" --pdf /dev/stdout "${voucher[@]}" >"$work/stdout.pdf" 2>"$work/err"
status=$?
((status == 0)) || fail "pdf to /dev/stdout: status $status"
[[ $(head -c 5 "$work/stdout.pdf") == "%PDF-" ]] || fail "pdf to /dev/stdout: no PDF on standard output"
grep -qx "$code" "$work/err" || fail "pdf to /dev/stdout: the code is not on standard error"
[[ -L /dev/stdout ]] || fail "/dev/stdout was replaced"

run "barcode to /dev/null" 0 --barcode 123 --output /dev/null
[[ -c /dev/null ]] || fail "/dev/null was replaced by the barcode"
run "barcode to /dev/full" 3 --barcode 123 --output /dev/full
grep -q "el disco está lleno" "$work/err" || fail "barcode to /dev/full: no Spanish reason"

# A full disk: the reason, and nothing left behind.
mkdir "$work/small"
mount -t tmpfs -o size=16k talonario-small "$work/small"
head -c 12k /dev/zero >"$work/small/filler"
run "pdf to a full disk" 3 --pdf "$work/small/v.pdf" "${voucher[@]}"
grep -q "el disco está lleno" "$work/err" || fail "full disk: no Spanish reason"
[[ $(ls -A "$work/small") == filler ]] || fail "full disk: left $(ls -A "$work/small")"

# Root may write a 0444 file, but a file nobody may write is refused.
echo keep >"$work/readonly.pdf"
chmod 444 "$work/readonly.pdf"
run "read-only file" 3 --pdf "$work/readonly.pdf" "${voucher[@]}"
[[ $(cat "$work/readonly.pdf") == keep ]] || fail "read-only file was replaced"

# Installed case: the program's folder is read-only, and another user has
# planted picCode.bmp (a folder, then a link) in the shared /tmp.
program_dir=$(dirname "$talonario")
mount --bind "$program_dir" "$program_dir"
mount -o remount,bind,ro "$program_dir"
for plant in folder link; do
    rm -rf /tmp/picCode.bmp
    if [[ $plant == folder ]]; then
        mkdir /tmp/picCode.bmp
    else
        ln -s /etc/hostname /tmp/picCode.bmp
    fi
    chown -h nobody /tmp/picCode.bmp
    run "planted $plant in /tmp" 0 --pdf "$work/planted.pdf" "${voucher[@]}"
    grep -qx "$code" "$work/out" || fail "planted $plant: no payment code"
    if command -v pdftoppm >/dev/null && command -v zbarimg >/dev/null; then
        pdftoppm -r 200 -f 2 -l 2 -png "$work/planted.pdf" "$work/page"
        decoded=$(zbarimg -q --raw "$work"/page*.png 2>/dev/null)
        [[ $decoded == "$code" ]] || fail "planted $plant: barcode reads '$decoded'"
        rm -f "$work"/page*.png
    fi
    [[ $(stat -c %a "/tmp/talonario-$(id -u)") == 700 ]] || fail "private folder is not 0700"
done
[[ -z $(ls -A "/tmp/talonario-$(id -u)") ]] || fail "the private folder keeps files"

# A second user: root's files and folders are refused, not replaced, and
# root's picCode.bmp in the shared /tmp does not stop their printing.
shared=$(mktemp -d)
chmod 755 "$work" "$shared"
echo keep >"$shared/roots.pdf"
chmod 644 "$shared/roots.pdf"
mkdir "$shared/theirs"
chown nobody "$shared/theirs"
runner=(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp)
run "another user's file" 3 --pdf "$shared/roots.pdf" "${voucher[@]}"
grep -q "no tiene permiso" "$work/err" || fail "another user's file: no Spanish reason"
[[ $(cat "$shared/roots.pdf") == keep ]] || fail "another user's file was replaced"
run "another user's folder" 3 --pdf "$shared/new.pdf" "${voucher[@]}"
grep -q "no tiene permiso" "$work/err" || fail "another user's folder: no Spanish reason"
rm -rf /tmp/picCode.bmp
echo "root's" >/tmp/picCode.bmp
run "root's picCode.bmp in /tmp" 0 --pdf "$shared/theirs/v.pdf" "${voucher[@]}"
[[ $(cat /tmp/picCode.bmp) == "root's" ]] || fail "root's picCode.bmp was touched"
[[ -s $shared/theirs/v.pdf ]] || fail "the second user's PDF is missing"

# Links another user plants in a folder everyone may write to (shared 0777,
# or sticky 1777 like /tmp) are never written through by root: not at a
# --pdf target, not at resultado.csv, not at a voucher's final name.
runner=()
echo secret >"$work/secret"
chmod 600 "$work/secret"
printf 'cuit;mes;anio;remuneracion\n20123456789;5;2026;1000\n' >"$work/lote.csv"
for mode in 777 1777; do
    planted=$(mktemp -d)
    chmod "$mode" "$planted"
    setpriv --reuid=nobody --regid=nogroup --clear-groups ln -s "$work/secret" "$planted/v.pdf"
    run "another user's link at a --pdf target ($mode)" 3 --pdf "$planted/v.pdf" "${voucher[@]}"
    grep -q "es un enlace puesto por otro usuario" "$work/err" || fail "link at a --pdf target ($mode): $(cat "$work/err")"
    setpriv --reuid=nobody --regid=nogroup --clear-groups ln -s "$work/secret" "$planted/resultado.csv"
    run "another user's link at resultado.csv ($mode)" 3 --lote "$work/lote.csv" --carpeta "$planted"
    rm -f "$planted/resultado.csv"
    setpriv --reuid=nobody --regid=nogroup --clear-groups \
        ln -s "$work/secret" "$planted/comprobante-20123456789-2026-05.pdf"
    run "another user's link at a voucher's name ($mode)" 0 --lote "$work/lote.csv" --carpeta "$planted"
    [[ -s "$planted/comprobante-20123456789-2026-05 (2).pdf" ]] || fail "the voucher did not take the next name ($mode)"
    [[ -L "$planted/comprobante-20123456789-2026-05.pdf" ]] || fail "the planted link was replaced ($mode)"
    [[ $(cat "$work/secret") == secret ]] || fail "root's file was written through a link ($mode)"
    [[ $(stat -c %a "$work/secret") == 600 ]] || fail "root's file changed mode ($mode)"
done
# Temporary names cannot be foreseen, and whatever another user plants under
# their pattern (links, pipes) is never opened, waited on or written through.
for mode in 777 1777; do
    planted=$(mktemp -d)
    chmod "$mode" "$planted"
    for i in $(seq 10 40); do
        setpriv --reuid=nobody --regid=nogroup --clear-groups ln -s "$work/secret" "$planted/.talonario-00000000000000$i.part"
        setpriv --reuid=nobody --regid=nogroup --clear-groups mkfifo "$planted/.talonario-11111111111111$i.part"
    done
    timeout 60 "$talonario" --lote "$work/lote.csv" --carpeta "$planted" >"$work/out" 2>"$work/err"
    status=$?
    ((status == 0)) || { fail "planted temporary names ($mode): status $status"; cat "$work/err" >&2; }
    [[ -s "$planted/comprobante-20123456789-2026-05.pdf" ]] || fail "planted temporary names ($mode): no voucher"
    [[ $(cat "$work/secret") == secret ]] || fail "planted temporary names ($mode): root's file written"
done
"$talonario" --lote "$work/lote.csv" --carpeta "$work/un-pdf-out" --un-pdf /dev/stdout >"$work/stdout.pdf" 2>"$work/err"
[[ $(head -c 5 "$work/stdout.pdf") == "%PDF-" ]] || fail "--un-pdf to /dev/stdout: no PDF on standard output"
[[ -L /dev/stdout ]] || fail "--un-pdf replaced /dev/stdout"
run "--un-pdf to /dev/null" 0 --lote "$work/lote.csv" --carpeta "$work/un-pdf" --un-pdf /dev/null
[[ -c /dev/null ]] || fail "--un-pdf replaced /dev/null"
run "--un-pdf to /dev/full" 3 --lote "$work/lote.csv" --carpeta "$work/un-pdf" --un-pdf /dev/full
grep -q "el disco está lleno" "$work/err" || fail "--un-pdf to /dev/full: no Spanish reason"
[[ -c /dev/full ]] || fail "--un-pdf replaced /dev/full"

((failures == 0)) && echo "all passed"
exit $((failures > 0))
