# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the X11 tests: a private Xvfb, the program started on it, and
# cleanup that leaves nothing running. Defines fail(), start_talonario and
# $window once the voucher window is up, close_talonario, and expect() for
# the report of the voucher's texts; expects $talonario and $send_delete to be set.
# shellcheck shell=bash

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

# Xvfb picks a free display number itself and writes it once it is ready.
# -noreset: the server would otherwise reset its keymap whenever its last
# client (setxkbmap, xdotool) disconnects.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/display" \
    2>"$tmp/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $tmp/display ]] && break
    sleep 0.1
done
[[ -s $tmp/display ]] || { cat "$tmp/xvfb.log" >&2; fail "Xvfb did not start"; }
DISPLAY=":$(head -n1 "$tmp/display")"
export DISPLAY
unset WAYLAND_DISPLAY

# A Spanish keyboard, loaded before the program starts: every character the
# tests type (ñ, the dead accents, AltGr's @ and |) sits on a key of its own,
# so xdotool never remaps a spare key on the fly, which the program might
# read before it sees the new mapping.
setxkbmap -layout es -model pc105 || fail "could not load the Spanish keyboard layout"
setxkbmap -query | grep -qE '^layout: +es$' || fail "the Spanish keyboard layout did not stay"

# box_ink X Y W H: the dark pixels in that rectangle of the window as shown.
box_ink() {
    import -window "$window" png:- |
        convert png:- -crop "${3}x${4}+${1}+${2}" +repage -colorspace Gray -threshold 50% \
            -negate -format '%[fx:round(mean*w*h)]' info:
}

# wait_for TENTHS COMMAND...: runs COMMAND every tenth of a second until it
# succeeds, for at most TENTHS tenths; fails when it never does.
wait_for() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# The caret shows in the empty name box (inside its frame, 216,90 313x19 in
# the window): the window is active and takes keys in that box.
caret_in_name_box() { (($(box_ink 219 93 307 13) > 0)); }

# Starts the program (extra environment as arguments, NAME=VALUE) and waits
# for its window; no window manager runs, so the focus is given explicitly.
start_talonario() {
    # A UTF-8 locale: dead keys compose through its table.
    env LC_ALL=C.UTF-8 "$@" QT_QPA_PLATFORM=xcb "$talonario" >"$tmp/talonario.log" 2>&1 &
    app_pid=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n1) ||
        true
    [[ -n $window ]] || { cat "$tmp/talonario.log" >&2; fail "no window titled \"$title\""; }
    xdotool windowfocus --sync "$window"
    # The caret blinks: within its period it shows at least once.
    wait_for 50 caret_in_name_box || fail "the name box shows no caret: it has no focus"
}

# Closes the window as its close button would and waits up to $1 tenths of a
# second for the program to end with status 0. The close request reaches the
# program after every key and click sent before it (the X server keeps their
# order, and the window handles each one whole), so nothing needs to settle
# first.
close_talonario() {
    "$send_delete" "$window" || fail "could not send WM_DELETE_WINDOW"
    for _ in $(seq "${1:-100}"); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    ((status == 0)) || { cat "$tmp/talonario.log" >&2; fail "talonario ended with status $status"; }
}

# expect NAME TEXT: the box NAME held TEXT in the report written on close.
failures=0
expect() {
    local actual
    actual=$(awk -F'\t' -v name="$1" '$1 == name { print $2 }' "$tmp/report")
    if [[ $actual != "$2" ]]; then
        echo "FAIL: $1 holds '$actual', expected '$2'" >&2
        failures=$((failures + 1))
    fi
}
