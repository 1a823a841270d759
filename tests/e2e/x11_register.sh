#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# On a real X server: leaving the C.U.I.T. box with a registered C.U.I.T.
# and the employer boxes empty outlines the box with the register's hint;
# typing into an employer box takes the hint away; Ctrl+E, pressed in that
# box, types the saved data into the boxes still empty through their key
# rules (capital first letter, digits only in the C.P.), keeps what was
# typed, and types no "e" anywhere. Ctrl+H opens "Comprobantes emitidos",
# and Escape closes it.
# Usage: x11_register.sh REGISTER_DRIVER SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
source "$(dirname "$0")/x11_session.sh"
start_talonario TALONARIO_REPORT_ON_CLOSE="$tmp/report" \
    TALONARIO_TEST_EMPLOYER='20123456786;taller norte;av. corrientes 1234;C1043AAB;caba;buenos aires'

key() { xdotool key --delay 40 "$@"; }
# The hint's red outline pixels on the C.U.I.T. box (184,155 345x19 in the window).
outline() {
    import -window "$window" png:- |
        convert png:- -crop 345x19+184+155 +repage -fx 'r>0.7 && g<0.15 && b<0.15 ? 1 : 0' \
            -format '%[fx:round(mean*w*h)]' info:
}

key Tab Tab Tab Tab Tab                         # txtCuit
xdotool type --delay 40 '20123456786'
key Tab                                         # left for txtMes
wait_for 20 test "$(outline)" -gt 20 || fail "no hint on the C.U.I.T. box once it was left"

key shift+Tab shift+Tab shift+Tab               # back to txtLoc
xdotool type --delay 40 'mi pueblo'
wait_for 20 test "$(outline)" -eq 0 || fail "the hint stayed with an employer box typed"

key ctrl+e
kill -0 "$app_pid" 2>/dev/null || fail "talonario ended while typing"

# Ctrl+H from a box opens the record, Escape closes it, nothing typed.
key ctrl+h
history=$(timeout 10 xdotool search --sync --onlyvisible --name '^Comprobantes emitidos$' |
    head -n1) || true
[[ -n $history ]] || fail "Ctrl+H opened no \"Comprobantes emitidos\""
key Escape
wait_for 50 bash -c "! xdotool search --onlyvisible --name '^Comprobantes emitidos\$' >/dev/null" ||
    fail "Escape did not close \"Comprobantes emitidos\""
xdotool windowfocus --sync "$window"
close_talonario 100
[[ -f $tmp/report ]] || fail "no report of the voucher's texts"
expect txtNombre 'Taller norte'
expect txtCalle 'Av. corrientes 1234'
expect txtCP '1043'
expect txtLoc 'Mi pueblo'
expect txtPcia 'Buenos aires'
expect txtCuit '20123456786'
expect txtMes ''
((failures == 0)) || fail "$failures boxes wrong"
echo "PASS: the register's data typed into the empty boxes only"
