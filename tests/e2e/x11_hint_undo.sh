#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# On a real X server: the grey words hint in "Son Pesos" shows on the screen
# as soon as the total is computed and follows each new total (no blank box,
# no old words left standing), and a paste is one undo step of its own in a
# single-line box: "juan ", Ctrl+V "Pérez", Ctrl+Z leaves "Juan ".
# Usage: x11_hint_undo.sh TALONARIO SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
source "$(dirname "$0")/x11_session.sh"
start_talonario TALONARIO_REPORT_ON_CLOSE="$tmp/report"

key() { xdotool key --delay 40 "$@"; }
# The X server keeps the order of clicks and keys, so what is typed after a
# click goes to the box clicked.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# The inside of the "Son Pesos" box (192,464 329x45 in the window) as the
# screen shows it now, as a file named $1.
shoot_words_box() {
    import -window "$window" png:- | convert png:- -crop 321x37+196+468 +repage "$tmp/$1.png"
}
# How many pixels two shots differ in.
differ() {
    compare -metric AE "$tmp/$1.png" "$tmp/$2.png" null: 2>&1 || true
}
# shot_apart NAME FROM MORE [FROM MORE]: shoots the box as NAME; true when it
# differs from each FROM shot in more than MORE pixels.
shot_apart() {
    local name=$1
    shift
    shoot_words_box "$name"
    while (($# > 0)); do
        (($(differ "$1" "$name") > $2)) || return 1
        shift 2
    done
}

# Undo after a paste: the focus starts in the name box.
xdotool type --delay 40 'juan '
printf '%s' 'Pérez' | xclip -selection clipboard -in 2>/dev/null  # it stays to serve the paste
[[ $(xclip -selection clipboard -out) == 'Pérez' ]] || fail "the clipboard does not hold 'Pérez'"
key ctrl+v
key ctrl+z

shoot_words_box empty
click 468 221                                   # txtRemuneracion
xdotool type --delay 40 '100000'
key Tab                                         # 1500,00: "Mil quinientos con 00/100"
wait_for 50 shot_apart first empty 50 || true   # told below
click 468 281                                   # txtRecargo
xdotool type --delay 40 '20'
key Tab                                         # 1520,00
wait_for 50 shot_apart second first 20 empty 50 || true
kill -0 "$app_pid" 2>/dev/null || fail "talonario ended while typing"

shown=$(differ empty first)
changed=$(differ first second)
blank=$(differ empty second)
((shown > 50)) || fail "no hint drawn once the total was computed ($shown pixels changed)"
((changed > 20)) || fail "the hint did not follow the new total ($changed pixels changed)"
((blank > 50)) || fail "the box went blank after the new total ($blank pixels from empty)"

close_talonario
[[ -f $tmp/report ]] || fail "no report of the voucher's texts"
expect txtNombre 'Juan '
expect txtPesos ''
((failures == 0)) || { cat "$tmp/report" >&2; exit 1; }
echo "PASS: the hint showed and followed the total ($shown, $changed, $blank px); one undo took the paste only"
