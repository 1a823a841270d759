#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Real key presses through a real X server into the built program: the key
# filters, shortcuts and focus-leaving computations must act as they do in
# the offscreen tests, whose key events Qt makes up itself.
# Usage: x11_keys.sh TALONARIO SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
source "$(dirname "$0")/x11_session.sh"
start_talonario TALONARIO_REPORT_ON_CLOSE="$tmp/report"

type() { xdotool type --delay 40 "$1"; }
key() { xdotool key --delay 40 "$@"; }

# The focus starts in the name box and moves on with Tab, box by box.
type 'juan'                                  # txtNombre
key Tab; type '9 de julio'; key ctrl+a ctrl+c # txtCalle: the clipboard now holds text
key Tab; type '12a-3'; key ctrl+v shift+Insert BackSpace  # txtCP
key Tab; type 'ñandu'                        # txtLoc
key Tab; type 'x'; key Home; type 'y'        # txtPcia: the first key made the capital
key Tab; type '20123456789'; key Home Delete # txtCuit
key Tab; type '13'                           # txtMes
key Tab; type '2026'                         # txtAnio
key Tab                                      # txtCPersonal
key Tab; type '76'                           # txtRemuneracion
key Tab                                      # txtRemuneracionDec: left empty
key Tab                                      # txtRecargo
key Tab; type '5'                            # txtRecargoDec
key Tab; key Tab                             # txtOtrosConceptos, txtOtrosConceptosDec
key Tab; key Tab                             # Check1, txtCheque
key Tab; key dead_acute a                    # txtBanco: an accent by dead key
key Tab; type 'mil'; key Return; type 'pesos' # txtPesos
key Tab Tab Tab Tab                          # Text2, Text3, Text4, IMPRIMIR
key Tab; type 'z'                            # txtOtrosDesc: GUARDAR PDF is no tab stop
kill -0 "$app_pid" 2>/dev/null || fail "talonario ended while typing"

close_talonario
[[ -f $tmp/report ]] || fail "no report of the voucher's texts"

expect txtNombre 'Juan'
expect txtCalle '9 de julio'
expect txtCP '12'
expect txtLoc 'Ñandu'
expect txtPcia 'yX'
expect txtCuit '0123456789'
expect txtMes '1'
expect txtAnio '2026'
expect txtRemuneracion '76'
expect txtRemuneracionDec '00'
expect txtRecargoDec '05'
expect txtOtrosConceptosDec '00'
expect txtRetencion '1'
expect txtRetencionDec '13'
expect txtTotal '1'
expect TXTtotalDec '18'
expect txtBanco 'Á'
expect txtPesos 'Mil\npesos'
expect txtOtrosDesc 'z'
((failures == 0)) || { cat "$tmp/report" >&2; exit 1; }
echo "PASS: real key presses filtered and figures computed as offscreen"
