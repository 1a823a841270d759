#!/usr/bin/env bash
# The built program on a real X server of its own: it opens the voucher
# window, takes real key presses into the name box, and ends with status 0
# when asked to close the way a window manager's close box asks.
# Usage: x11_close.sh TALONARIO SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
title='Generador de Facturas'

tmp=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    if [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null; then
        kill -KILL "$app_pid" 2>/dev/null || true
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT
# A timeout's TERM ends the script through its exit path, so nothing is left running.
trap 'exit 143' TERM INT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Repeats a command every tenth of a second until it succeeds, for at most
# $1 seconds.
within() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    until "$@"; do
        ((--tries > 0)) || return 1
        sleep 0.1
    done
}

# An ended child that has not been waited for still answers kill -0.
running() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) && [[ $state != Z ]]
}

# Xvfb picks a free display number itself and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb_pid=$!
within 10 test -s "$tmp/display" || { cat "$tmp/xvfb.log" >&2; fail "Xvfb did not start"; }
DISPLAY=":$(head -n1 "$tmp/display")"
export DISPLAY
unset WAYLAND_DISPLAY

QT_QPA_PLATFORM=xcb "$talonario" >"$tmp/talonario.log" 2>&1 &
app_pid=$!

window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) ||
    true
[[ -n $window ]] || { cat "$tmp/talonario.log" >&2; fail "no window titled \"$title\""; }

# No window manager runs, so the focus is given explicitly.
xdotool windowfocus --sync "$window"
sleep 0.5

# The dark pixels inside the frame of the name box (216,90 313x19 in the
# window); the box starts empty with the focus in it, and a blinking caret
# adds at most one column of them.
name_box_ink() {
    import -window "$window" png:- |
        convert png:- -crop 307x13+219+93 +repage -colorspace Gray -threshold 50% -negate \
            -format '%[fx:round(mean*w*h)]' info:
}
before=$(name_box_ink)
# The keys go through the server as a keyboard's would.
xdotool type --delay 30 'juan perez'
sleep 0.5
after=$(name_box_ink)
running "$app_pid" || fail "talonario ended while typing"
((after - before > 40)) ||
    fail "the typed name does not show in the name box ($before dark pixels before, $after after)"

"$send_delete" "$window" || fail "could not send WM_DELETE_WINDOW"

# Whichever ends first: talonario, or ten seconds.
sleep 10 &
sleeper=$!
status=0
ended=
wait -n -p ended "$app_pid" "$sleeper" || status=$?
if [[ $ended != "$app_pid" ]]; then
    cat "$tmp/talonario.log" >&2
    fail "talonario still runs 10 s after its window was asked to close"
fi
app_pid=
kill "$sleeper" 2>/dev/null || true
if ((status != 0)); then
    cat "$tmp/talonario.log" >&2
    fail "talonario ended with status $status"
fi
echo "PASS: typed into the name box ($before -> $after dark pixels) and closed with status 0"
