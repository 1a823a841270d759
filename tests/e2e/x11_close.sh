#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The built program on a real X server of its own: it opens the voucher
# window, takes real key presses into the name box, and ends with status 0
# when asked to close the way a window manager's close box asks.
# Usage: x11_close.sh TALONARIO SEND_DELETE
set -euo pipefail

talonario=$1
send_delete=$2
source "$(dirname "$0")/x11_session.sh"

# An ended child that has not been waited for still answers kill -0.
running() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) && [[ $state != Z ]]
}

start_talonario

# The dark pixels inside the frame of the name box; the box starts empty with
# the focus in it, and a blinking caret adds at most one column of them.
name_box_ink() { box_ink 219 93 307 13; }
before=$(name_box_ink)
# The keys go through the server as a keyboard's would; the name shows once
# the window has drawn them.
xdotool type --delay 30 'juan perez'
name_shows() {
    after=$(name_box_ink)
    ((after - before > 40))
}
wait_for 50 name_shows ||
    fail "the typed name does not show in the name box ($before dark pixels before, $after after)"
running "$app_pid" || fail "talonario ended while typing"

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
