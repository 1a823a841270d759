#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# On a real X server, with a private CUPS queue as the default printer (run
# through tests/cups/with-cups.sh) and a record of its own: two vouchers are
# printed with IMPRIMIR and its confirmation; Ctrl+H lists them in
# "Comprobantes emitidos", the C.U.I.T. filter keeps the first, and
# "Imprimir de nuevo" (Alt+I), confirmed like IMPRIMIR, sends two more jobs
# whose pages equal, pixel for pixel, the first voucher's own. The record
# then holds both vouchers and the reprint, and the reprint's code is the
# first voucher's.
# Usage: with-cups.sh bash x11_reprint.sh TALONARIO SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
[[ -n ${TALONARIO_CUPS_OUT:-} ]] || { echo "FAIL: run through tests/cups/with-cups.sh" >&2; exit 1; }
source "$(dirname "$0")/x11_session.sh"
base=$tmp/registro.sqlite
start_talonario TALONARIO_BASE="$base"

type() { xdotool type --delay 20 "$1"; }
key() { xdotool key --delay 20 "$@"; }

# jobs: how many PDFs the queue has written out in full.
jobs() {
    local count=0 pdf
    for pdf in "$TALONARIO_CUPS_OUT"/*.pdf; do
        [[ -e $pdf ]] || continue
        pdfinfo "$pdf" >/dev/null 2>&1 && count=$((count + 1))
    done
    echo "$count"
}
# settled N: N complete PDFs and nothing left waiting in the queue.
settled() {
    (($(jobs) >= $1)) && [[ -z $(lpstat -o "$TALONARIO_CUPS_QUEUE" 2>/dev/null) ]]
}
# The PDFs, oldest job first (cups-pdf names them "<title>-job_<n>.pdf").
arrived() {
    find "$TALONARIO_CUPS_OUT" -name '*-job_*.pdf' -printf '%f\n' |
        sed -E 's/^(.*-job_([0-9]+)\.pdf)$/\2 \1/' | sort -n | cut -d' ' -f2-
}

# The confirmation "Imprimir!" answered with its default button, Sí.
confirm() {
    local box
    box=$(timeout 20 xdotool search --sync --onlyvisible --name '^Imprimir!$' | head -n1) || true
    [[ -n $box ]] || { cat "$tmp/talonario.log" >&2; fail "$1 asked no confirmation"; }
    xdotool windowfocus --sync "$box"
    key Return
    wait_for 100 bash -c "! xdotool search --onlyvisible --name '^Imprimir!\$' >/dev/null" ||
        fail "the confirmation stayed open"
}

# print_voucher NAME CUIT: a voucher typed into the empty window, then IMPRIMIR
# clicked (8520,4440 1215x495 twips: its middle at 608,312 in the window).
print_voucher() {
    xdotool mousemove --window "$window" 260 100 click 1
    type "$1"
    key Tab Tab Tab Tab Tab; type "$2" # txtCuit
    key Tab; type '5'                  # txtMes
    key Tab; type '2026'               # txtAnio
    key Tab; type '7'                  # txtCPersonal
    key Tab; type '100'                # txtRemuneracion
    key Tab
    xdotool mousemove --window "$window" 608 312 click 1
    confirm IMPRIMIR
}

print_voucher 'taller norte' '20123456786'
wait_for 300 settled 2 || fail "IMPRIMIR sent $(jobs) complete jobs, not 2"
# The second voucher from a window started anew, as the next month's would be.
close_talonario 100
start_talonario TALONARIO_BASE="$base"
print_voucher 'almacen sur' '27234567891'
wait_for 300 settled 4 || fail "the second voucher's jobs did not arrive ($(jobs) in all)"

# No window manager gives the focus back once the confirmation is gone.
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 260 100 click 1
key ctrl+h
history=$(timeout 20 xdotool search --sync --onlyvisible --name '^Comprobantes emitidos$' |
    head -n1) || true
[[ -n $history ]] || fail "Ctrl+H opened no \"Comprobantes emitidos\""
xdotool windowfocus --sync "$history"
# The C.U.I.T. filter (Alt+C) keeps the first voucher only; Return goes to
# the table, Alt+I reprints the row chosen there.
key alt+c
type '20123456786'
key Return
key alt+i
confirm 'Imprimir de nuevo'
wait_for 300 settled 6 || fail "the reprint sent $(($(jobs) - 4)) complete jobs, not 2"
key Escape
wait_for 50 bash -c "! xdotool search --onlyvisible --name '^Comprobantes emitidos\$' >/dev/null" ||
    fail "Escape did not close \"Comprobantes emitidos\""
xdotool windowfocus --sync "$window"
close_talonario 100

mapfile -t pdfs < <(arrived)
((${#pdfs[@]} == 6)) || fail "${#pdfs[@]} PDFs arrived, not 6: ${pdfs[*]}"
# scan N: the Nth job's page as a sheet scanned at 150 dpi.
scan() {
    pdftoppm -r 150 -gray -singlefile "$TALONARIO_CUPS_OUT/${pdfs[$1]}" "$tmp/scan$1"
    echo "$tmp/scan$1.pgm"
}
for copy in 0 1; do
    original=$(scan "$copy")
    reprint=$(scan $((copy + 4)))
    other=$(scan $((copy + 2)))
    cmp -s "$original" "$reprint" ||
        fail "copy $((copy + 1)) of the reprint differs from the original's page"
    # The comparison can tell vouchers apart: the second voucher's page differs.
    ! cmp -s "$original" "$other" || fail "the two vouchers printed the same page"
done

# The record: both vouchers from the window, then the reprint of the first.
record=$("$talonario" --historial --base "$base")
hows=$(awk -F';' 'NR > 1 { print }' <<<"$record" | grep -c 'reimpresión') || true
((hows == 1)) || fail "the record holds $hows reprints, not 1: $record"
lines=$(($(wc -l <<<"$record") - 1))
((lines == 3)) || fail "the record holds $lines vouchers, not 3: $record"
codes=$(grep -oE '[0-9]{23}' <<<"$record" | sort | uniq -c | awk '{ print $1 }' | sort | tr '\n' ' ')
[[ $codes == '1 2 ' ]] || fail "the reprint's code is not the first voucher's: $record"
echo "PASS: Ctrl+H's reprint of a filtered voucher equals its original's printed pages"
