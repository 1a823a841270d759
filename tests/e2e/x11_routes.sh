#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Text that reaches the boxes by routes other than a plain key, through a
# real X server with a Spanish keyboard: dead keys (input-method text),
# AltGr, Ctrl+Alt and Super combinations, and the middle button's paste of
# the primary selection. Each character must meet the box's own key rule.
# Usage: x11_routes.sh TALONARIO SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
source "$(dirname "$0")/x11_session.sh"
start_talonario TALONARIO_REPORT_ON_CLOSE="$tmp/report"

type() { xdotool type --delay 40 "$1"; }
key() { xdotool key --delay 40 "$@"; }
altgr() { xdotool keydown ISO_Level3_Shift key --delay 40 "$@" keyup ISO_Level3_Shift; }
# Makes $1 the primary selection, as selecting it in another program would,
# then pastes it with the middle button at window pixel ($2, $3). xclip stays
# to serve the selection until the next one takes it over, and counts in its
# log each time it hands the text over: the paste is done once the window
# has taken it.
pastes=0
middle_paste() {
    local log=$tmp/xclip-$((++pastes)).log
    printf '%s' "$1" | xclip -verbose -selection primary -in >"$log" 2>&1 &
    served() { grep -q "request number $1\$" "$log"; }
    wait_for 50 grep -q 'Waiting for selection requests' "$log" || fail "xclip took no selection"
    [[ $(xclip -selection primary -out) == "$1" ]] || fail "the primary selection is not '$1'"
    wait_for 50 served 2 || fail "xclip did not count its first hand-over"
    xdotool mousemove --window "$window" "$2" "$3" click 2
    wait_for 50 served 3 || fail "the window did not take the primary selection '$1'"
}

# The focus starts in the name box and moves on with Tab.
key dead_acute e l dead_acute a                 # txtNombre: é first becomes É
key Tab; type 'x'; altgr 2; key ctrl+alt+comma  # txtCalle: AltGr's @ and Ctrl+Alt's comma are text
key Tab; type '1'; altgr 1 3; key ctrl+alt+minus super+e; type '2'  # txtCP
key Tab; key dead_diaeresis u; type 'rsula'     # txtLoc
key Tab; key dead_grave a                       # txtPcia
key Tab; type '1'; key dead_acute a; type '2'; key dead_diaeresis u; type '3'
key apostrophe ctrl+alt+period; type '4'        # txtCuit
key Tab; type '1'; key ctrl+alt+9 dead_acute e  # txtMes: 19 and 1é refused
key Tab; type '2'; key ctrl+alt+a super+e; type '026'  # txtAnio
key Tab; key ctrl+alt+equal; altgr 3; type '7'  # txtCPersonal
key Tab                                         # txtRemuneracion
# Box centres in window pixels.
middle_paste '12ab' 468 221                     # txtRemuneracion
middle_paste '-5' 468 281                       # txtRecargo
middle_paste $'20\n30' 272 443                  # txtCheque: one line
middle_paste $'mil\npesos' 356 486              # txtPesos: lines kept, first capital
middle_paste 'ñ2' 312 519                       # Text4: digits only
key Tab                                         # leave the deposit year
kill -0 "$app_pid" 2>/dev/null || fail "talonario ended while typing"

close_talonario
[[ -f $tmp/report ]] || fail "no report of the voucher's texts"

expect txtNombre 'Élá'
expect txtCalle 'X@,'
expect txtCP '12'
expect txtLoc 'Ürsula'
expect txtPcia 'À'
expect txtCuit '1234'
expect txtMes '1'
expect txtAnio '2026'
expect txtCPersonal '7'
expect txtRemuneracion '12'
expect txtRecargo '5'
expect txtCheque '2030'
expect txtPesos 'Mil\npesos'
expect Text4 '2'
((failures == 0)) || { cat "$tmp/report" >&2; exit 1; }
echo "PASS: dead keys, AltGr, Ctrl+Alt, Super and middle-button text all met the boxes' rules"
