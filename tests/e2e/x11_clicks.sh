#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fast clicks through a real X server: leaving a cents box zero-fills it
# inside the click that leaves it, and that must neither lose the click nor
# let a run start on figures the leaving has not finished computing.
# Usage: x11_clicks.sh CLICK_DRIVER SEND_DELETE [ROUNDS]
set -euo pipefail

talonario=$1
send_delete=$2
rounds=${3:-30}
source "$(dirname "$0")/x11_session.sh"
start_talonario TALONARIO_RUN_REPORT="$tmp/runs"

type() { xdotool type --delay 20 "$1"; }
key() { xdotool key --delay 20 "$@"; }
# Window pixels: the surcharge cents box and the two buttons.
cents=(516 281)
print=(608 312)
save=(608 352)
at() { xdotool mousemove --window "$window" "$1" "$2"; }

# A voucher that passes validation: payroll 100, so 1,50 to pay.
type 'taller'
key Tab Tab Tab Tab Tab; type '20123456789'  # txtCuit
key Tab; type '5'                            # txtMes
key Tab; type '2026'                         # txtAnio
key Tab; type '7'                            # txtCPersonal
key Tab; type '100'                          # txtRemuneracion
key Tab                                      # txtRemuneracionDec

# Each round leaves an empty cents box by a click on IMPRIMIR whose press
# and release come back to back.
for ((i = 0; i < rounds; i++)); do
    at "${cents[@]}"; xdotool click 1
    key ctrl+a BackSpace
    at "${print[@]}"; xdotool click 1
done
# Each round types 5 cents and double-clicks GUARDAR PDF at once: two runs,
# both with the 5 cents in.
for ((i = 0; i < rounds; i++)); do
    at "${cents[@]}"; xdotool click 1
    key ctrl+a 5
    at "${save[@]}"; xdotool click --repeat 2 --delay 40 1
done
# Ctrl+S from the cents box being typed in: one more run, the 5 cents in.
at "${cents[@]}"; xdotool click 1
key ctrl+a 5 ctrl+s
kill -0 "$app_pid" 2>/dev/null || fail "the window ended while clicking"

close_talonario 600
[[ -f $tmp/runs ]] || fail "no report of the runs"

failures=0
check() {
    local what=$1 expected=$2 actual=$3
    if [[ $actual != "$expected" ]]; then
        echo "FAIL: $what: $actual, expected $expected" >&2
        failures=$((failures + 1))
    fi
}
prints=$(awk -F'\t' '$1 == "print"' "$tmp/runs" | wc -l)
pdfs=$(awk -F'\t' '$1 == "pdf"' "$tmp/runs" | wc -l)
check "print runs from $rounds clicks" "$rounds" "$prints"
check "saved vouchers from $rounds double clicks and Ctrl+S" "$((2 * rounds + 1))" "$pdfs"
while IFS=$'\t' read -r kind code total saved; do
    case $kind in
        print)
            check "printed total" '1,50' "$total"
            check "printed code's amount" 00000150 "${code: -8}"
            ;;
        pdf)
            check "saved total" '1,55' "$total"
            check "saved code's amount" 00000155 "${code: -8}"
            check "barcode read back from the saved file" "$code" "$saved"
            ;;
        pressed) check "button left drawn pressed" none "$code" ;;
    esac
done <"$tmp/runs"
((failures == 0)) || exit 1
echo "PASS: $rounds clicks gave $prints print runs, $rounds double clicks and Ctrl+S $pdfs saved vouchers, none stale"
