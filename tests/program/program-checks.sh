#!/bin/sh
# SPDX-License-Identifier: MIT
# Checks of the real program: "help" prints the usage text exactly and exits 0; "nohome" runs as a
# user without a home; "escape" opens a window, quits on Escape and exits 0.
set -eu
check="$1"
program="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Ombrefell"

fail() {
    echo "FAIL: $*"
    exit 1
}

help_check() {
    "$program" --help > "$work/out" || fail "--help exited with $?"
    # The music is opened first and says so; the usage text follows.
    printf 'vorbisfile: Loaded file: %s/sounds/music.ogg\n' "$(dirname "$program")" > "$work/expected"
    printf '\nMarrowgate\n\nUsage:\nMarrowgate -w [width] -h [height] -a [val] -f -ns -nm -s\n\nFlags:\n--width [val] | -w [val]:\tSet the width of the window.\n--height [val] | -h [val]:\tSet the height of the window.\n--antialias [val] | -a [val]:\tSets the antialiasing level (2, 4, or 6).\n--fullscreen | -f:\t\tSets whether to go fullscreen or not.\n--nosound | -ns:\t\tSwitches off the sound output.\n--nomusic | -nm:\t\tSwitches off the background music.\n--help:\t\t\t\tDisplay this help.\n\n\n' >> "$work/expected"
    cmp "$work/out" "$work/expected" || fail "usage text differs: $(od -c "$work/out" | head -20)"
    [ -f "$XDG_CONFIG_HOME/Ombrefell/Ombrefell.conf" ] || fail "--help did not create the settings file"
}

# With neither HOME nor a password entry there is no settings file; the game says so and goes on.
nohome_check() {
    if [ "$(id -u)" -ne 0 ] || ! command -v setpriv > /dev/null; then
        echo "needs root and setpriv to run as a user without a password entry"
        exit 77
    fi
    env -u HOME -u XDG_CONFIG_HOME SDL_VIDEODRIVER=dummy \
        setpriv --reuid=54321 --regid=54321 --clear-groups "$program" --help > "$work/out" ||
        fail "exit status $?"
    grep -qx "No home directory: using the built-in settings." "$work/out" ||
        fail "unexpected output: $(head -n 3 "$work/out")"
    grep -q '^Usage:$' "$work/out" || fail "no usage text: $(cat "$work/out")"
}

# Seconds to wait for the game to reach a state: enough for a machine ten times slower or fully busy.
# A game that ends too early fails at once.
patience=300

escape_check() {
    if [ -z "${DISPLAY:-}" ]; then
        echo "needs an X display and DISPLAY is not set (tools/run-tests.sh provides Xvfb)"
        exit 77
    fi
    "$program" -w 640 -h 480 -ns > "$work/out" 2>&1 &
    pid=$!
    start=$(date +%s)
    until window=$(xdotool search --onlyvisible --name '^Marrowgate$' 2>/dev/null | head -n 1) && [ -n "$window" ]; do
        kill -0 "$pid" 2>/dev/null || fail "ended before its window appeared: $(cat "$work/out")"
        [ $(($(date +%s) - start)) -lt $patience ] || { kill "$pid"; fail "no window in $patience s"; }
        sleep 0.1
    done
    # The keyboard follows the pointer with no window manager.
    xdotool mousemove --sync --window "$window" 320 240
    xdotool key Escape
    start=$(date +%s)
    while kill -0 "$pid" 2>/dev/null; do
        [ $(($(date +%s) - start)) -lt $patience ] || { kill "$pid"; fail "still running $patience s after Escape"; }
        sleep 0.1
    done
    wait "$pid" || fail "exit status $? after Escape: $(cat "$work/out")"
}

"${check}_check"
echo "ok: $check"
