#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Ctrl+P on a real X server, with a private CUPS server's queue as the default
# printer (run through tests/cups/with-cups.sh): the print preview opens over
# the voucher showing its pages, Escape cancels it, nothing is printed, and
# the voucher takes keys again.
# Usage: with-cups.sh bash x11_preview.sh TALONARIO SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
[[ -n ${TALONARIO_CUPS_OUT:-} ]] || { echo "FAIL: run through tests/cups/with-cups.sh" >&2; exit 1; }
source "$(dirname "$0")/x11_session.sh"
start_talonario

type() { xdotool type --delay 20 "$1"; }
key() { xdotool key --delay 20 "$@"; }

# A voucher that passes validation, the payroll's box left last by Ctrl+P itself.
type 'taller'
key Tab Tab Tab Tab Tab; type '20123456789'  # txtCuit
key Tab; type '5'                            # txtMes
key Tab; type '2026'                         # txtAnio
key Tab; type '7'                            # txtCPersonal
key Tab; type '100'                          # txtRemuneracion
key ctrl+p

# Qt's preview, in English or in Spanish as Qt's translation says.
preview=$(timeout 20 xdotool search --sync --onlyvisible --name 'Print Preview|Previsualizar|Vista previa' |
    head -n1) || true
if [[ -z $preview ]]; then
    cat "$tmp/talonario.log" >&2
    for shown in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        echo "shown: $(xdotool getwindowname "$shown")" >&2
    done
    fail "Ctrl+P opened no print preview"
fi
# Both pages drawn in it: a good share of dark pixels (text, rules, barcode).
ink() {
    import -window "$preview" png:- |
        convert png:- -colorspace Gray -threshold 50% -negate -format '%[fx:round(mean*w*h)]' info:
}
drawn() { (($(ink) > 2000)); }
wait_for 100 drawn || fail "the preview shows no pages ($(ink) dark pixels)"

key Escape
gone() { ! xdotool search --onlyvisible --name 'Print Preview|Previsualizar|Vista previa' >/dev/null 2>&1; }
wait_for 50 gone || fail "Escape left the preview open"

# The voucher is in entry presentation again: a name typed shows in its box.
xdotool windowfocus --sync "$window"
xdotool mousemove --window "$window" 260 100 click 1
before=$(box_ink 219 93 307 13)
type ' norte'
grown() { (($(box_ink 219 93 307 13) - before > 20)); }
wait_for 50 grown || fail "the name box took no keys after the preview"
# Those keys came after the preview closed, and a job is queued inside the
# call that prints it: whatever the cancel had sent would be listed by now.
listed=$(lpstat -W all -o "$TALONARIO_CUPS_QUEUE") || fail "the CUPS server lists no jobs"
[[ -z $listed ]] || fail "cancelling the preview sent jobs: $listed"
pdfs=$(find "$TALONARIO_CUPS_OUT" -name '*.pdf' | wc -l)
((pdfs == 0)) || fail "cancelling the preview printed $pdfs pages"
close_talonario
echo "PASS: Ctrl+P showed the preview with its pages; Escape printed nothing"
