#!/bin/sh
# SPDX-License-Identifier: MIT
# Checks of the real program: "help" prints the usage text exactly and exits 0; "nohome" runs as a
# user without a home; "escape" opens a window, quits on Escape and exits 0; "terminal" starts it
# without a display inside a pseudo-terminal; "nowindow" where SDL has no OpenGL; "window" checks the
# widest window and the icon; "quiet" a start with sound; "settings" a start without arguments; "xdg" a
# relative XDG_CONFIG_HOME; "special" FIFOs and /dev/zero in place of the settings file and the music;
# "bigsound" sound files of 200 MB; "hangup" SIGHUP; "xgone" the X server going away; "wayland" a start
# on Wayland.
set -eu
check="$1"
program="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Ombrefell"

# A game left running would answer the next check in place of its own.
pid=""
fail() {
    echo "FAIL: $*"
    [ -z "$pid" ] || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
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

needs_display() {
    if [ -z "${DISPLAY:-}" ]; then
        echo "needs an X display and DISPLAY is not set (tools/run-tests.sh provides Xvfb)"
        exit 77
    fi
}

# Starts the program with the given arguments in the background and waits for its window, found by
# its process (a window of an earlier game may still be closing): sets pid and window.
start_with_window() {
    "$program" "$@" > "$work/out" 2>&1 &
    pid=$!
    start=$(date +%s)
    until window=$(xdotool search --onlyvisible --pid "$pid" --name '^Marrowgate$' 2>/dev/null | head -n 1) &&
        [ -n "$window" ]; do
        kill -0 "$pid" 2>/dev/null || fail "ended before its window appeared: $(cat "$work/out")"
        [ $(($(date +%s) - start)) -lt $patience ] || fail "no window in $patience s"
        sleep 0.1
    done
}

# Presses Escape in the window of start_with_window and expects a clean end with status 0. The window
# is given the focus: where the keyboard goes without a window manager differs between the SDLs.
quit_with_escape() {
    xdotool windowfocus --sync "$window"
    xdotool key Escape
    expect_clean_end Escape
}

# Waits for the program of start_with_window to end after the given cause, and expects status 0.
expect_clean_end() {
    start=$(date +%s)
    while kill -0 "$pid" 2>/dev/null; do
        [ $(($(date +%s) - start)) -lt $patience ] || fail "still running $patience s after $1"
        sleep 0.1
    done
    wait "$pid" || fail "exit status $? after $1: $(cat "$work/out")"
}

escape_check() {
    needs_display
    start_with_window -w 640 -h 480 -ns
    quit_with_escape
}

# Runs the program with the given arguments inside a pseudo-terminal without a display, as over SSH.
# The terminal's settings before and after, the output and the exit status land in $work.
# The arguments must be plain words.
run_in_terminal() {
    cat > "$work/inside.sh" << 'INSIDE'
work="$1"
shift
stty -g > "$work/before"
status=0
"$@" > "$work/out" 2>&1 || status=$?
echo $status > "$work/status"
stty -g > "$work/after"
INSIDE
    env -u DISPLAY -u SDL_VIDEODRIVER TERM=xterm timeout $patience \
        script -q -e -c "sh '$work/inside.sh' '$work' '$program' $*" /dev/null > "$work/terminal" 2>&1 ||
        fail "the pseudo-terminal run did not end: $(cat "$work/terminal")"
}

# Without a display SDL must not take the terminal over: no escape sequence, the terminal's modes as
# they were, the usage text for --help and one clear line otherwise.
terminal_check() {
    escape="$(printf '\033')"
    for args in --help "-w 640 -h 480"; do
        # shellcheck disable=SC2086 # the arguments are meant to split
        run_in_terminal $args
        if grep -q "$escape" "$work/out" "$work/terminal"; then
            fail "escape sequences with $args: $(od -c "$work/terminal" | head -n 12)"
        fi
        cmp -s "$work/before" "$work/after" || fail "terminal modes changed with $args"
        case "$args" in
        --help)
            [ "$(cat "$work/status")" = 0 ] || fail "--help exited with $(cat "$work/status")"
            grep -q '^Usage:$' "$work/out" || fail "no usage text: $(cat "$work/out")" ;;
        *)
            [ "$(cat "$work/status")" = 1 ] || fail "a start without a display exited with $(cat "$work/status")"
            [ "$(grep -c 'Could not initialise SDL: ' "$work/out")" = 1 ] ||
                fail "no reason given: $(cat "$work/out")"
            if grep -q -e GLEW -e PortAudio "$work/out"; then
                fail "went on without a display: $(cat "$work/out")"
            fi ;;
        esac
    done
}

# SDL's dummy driver has no OpenGL: one line says there is no window, nothing is started and the exit
# status is 1. A user's own SDL_VIDEODRIVER is respected.
nowindow_check() {
    status=0
    SDL_VIDEODRIVER=dummy timeout $patience "$program" -w 640 -h 480 > "$work/out" 2>&1 || status=$?
    [ $status = 1 ] || fail "exit status $status without a window: $(cat "$work/out")"
    [ "$(grep -c 'Could not open a window, so Marrowgate cannot run.' "$work/out")" = 1 ] ||
        fail "no word about the window: $(cat "$work/out")"
    if grep -q -e PortAudio -e GLEW "$work/out"; then
        fail "started the sound or GL without a window: $(cat "$work/out")"
    fi
}

# 16383 pixels is the widest window SDL 1.2 can open; 16384 counts as not given. The window carries
# the game's icon (a pixmap in WM_HINTS or _NET_WM_ICON, as the SDL has it) and the class the desktop
# entry names, unless the user named one.
window_check() {
    needs_display
    start_with_window -w 16383 -h 16 -ns
    xwininfo -id "$window" | grep -q 'Width: 16383$' || fail "$(xwininfo -id "$window")"
    xprop -id "$window" WM_HINTS _NET_WM_ICON | grep -q -e 'bitmap id # to use for icon' -e '^_NET_WM_ICON(CARDINAL) = ' ||
        fail "no icon: $(xprop -id "$window" WM_HINTS)"
    class=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../resources/io.github.marrowgate.Marrowgate.desktop")
    [ "$(xprop -id "$window" WM_CLASS)" = "WM_CLASS(STRING) = \"$class\", \"$class\"" ] ||
        fail "the desktop entry's class is \"$class\": $(xprop -id "$window" WM_CLASS)"
    quit_with_escape
    # An empty SDL_VIDEODRIVER counts as none chosen; a window class the user chose is kept.
    SDL_VIDEODRIVER='' SDL_VIDEO_X11_WMCLASS=players.Own start_with_window -w 16384 -h 16 -ns
    xprop -id "$window" WM_CLASS | grep -q '"players.Own"' || fail "the user's class was replaced: $(xprop -id "$window" WM_CLASS)"
    quit_with_escape
    grep -qx 'Using default width = 1024' "$work/out" || fail "16384 was taken: $(cat "$work/out")"
}

# With the sound on, the terminal gets the game's own lines only: none of the sound libraries' probing,
# which on a machine without a sound card (or without a JACK server) runs to dozens of lines.
quiet_check() {
    needs_display
    unset MARROWGATE_AUDIO_DIAGNOSTICS
    start_with_window -w 64 -h 48
    quit_with_escape
    if grep -q -i -e '^ALSA lib' -e 'jack' "$work/out"; then
        fail "sound library messages: $(head -n 5 "$work/out")"
    fi
}

# Started without arguments, as from the desktop menu, the game takes its settings from the file.
settings_check() {
    needs_display
    printf 'w 640\nh 200\na 0\nf 0\nns 1\nnm 1\n' > "$XDG_CONFIG_HOME/Ombrefell/Ombrefell.conf"
    start_with_window
    xwininfo -id "$window" | grep -q 'Width: 640$' || fail "not the file's width: $(cat "$work/out")"
    xwininfo -id "$window" | grep -q 'Height: 200$' || fail "not the file's height: $(cat "$work/out")"
    quit_with_escape
}

# A relative XDG_CONFIG_HOME would put the settings wherever the game is started: ~/.config serves.
xdg_check() {
    mkdir "$work/home" "$work/elsewhere"
    (cd "$work/elsewhere" && HOME="$work/home" XDG_CONFIG_HOME=relative "$program" --help > "$work/out") ||
        fail "exit status $?"
    [ -f "$work/home/.config/Ombrefell/Ombrefell.conf" ] || fail "no settings under HOME: $(cat "$work/out")"
    [ ! -e "$work/elsewhere/relative" ] || fail "settings made in the working directory"
}

# A FIFO or a device where the settings file or the music should be: start-up ends in seconds with
# bounded memory, as if the file were missing.
special_check() {
    sounds="$(dirname "$program")/sounds"
    limit="ulimit -v 2000000;"
    # The sanitizers reserve more address space than any limit that would still catch a runaway.
    if ldd "$program" | grep -q -e libasan -e libtsan; then
        limit=""
    fi
    for place in settings music; do
        for kind in fifo zero; do
            rm -rf "$work/config" "$work/sounds"
            mkdir -p "$work/config/Ombrefell" "$work/sounds"
            cp "$sounds"/*.ogg "$work/sounds/"
            target="$work/config/Ombrefell/Ombrefell.conf"
            [ $place = music ] && target="$work/sounds/music.ogg" && rm "$target"
            if [ $kind = fifo ]; then mkfifo "$target"; else ln -s /dev/zero "$target"; fi
            status=0
            MARROWGATE_SOUNDS_DIR="$work/sounds" timeout $patience sh -c "$limit exec \"\$0\" --help" "$program" \
                > "$work/out" 2>&1 || status=$?
            [ $status = 0 ] || fail "$kind as the $place: exit status $status: $(head -c 300 "$work/out")"
            grep -q '^Usage:$' "$work/out" || fail "$kind as the $place: $(head -c 300 "$work/out")"
        done
    done
}

# Sound files with 200 MB after their sound are refused at start-up with a line each, unread: the window
# opens and the game quits as usual.
bigsound_check() {
    needs_display
    mkdir "$work/sounds"
    cp "$(dirname "$program")"/sounds/*.ogg "$work/sounds/"
    truncate -s +200M "$work/sounds/click.ogg" "$work/sounds/music.ogg"
    MARROWGATE_SOUNDS_DIR="$work/sounds" start_with_window -w 64 -h 48
    quit_with_escape
    [ "$(grep -c '^vorbisfile: File too large, so it stays silent: ' "$work/out")" = 2 ] ||
        fail "the large files were not refused: $(cat "$work/out")"
}

# A closed terminal (SIGHUP) ends the game in order, as SIGTERM does.
hangup_check() {
    needs_display
    start_with_window -w 64 -h 48 -ns
    kill -HUP "$pid"
    expect_clean_end SIGHUP
}

# When the X server goes away the game says so in a line of its own and exits with status 1.
xgone_check() {
    display=200
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
    # -noreset: a server left by its last client (the probe below) resets and refuses connections meanwhile.
    Xvfb ":$display" -screen 0 320x240x24 -noreset -nolisten tcp > /dev/null 2>&1 &
    server=$!
    # Whatever happens, the server goes too (it would keep the test's output open).
    trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
    DISPLAY=":$display"
    export DISPLAY
    start=$(date +%s)
    until xdpyinfo > /dev/null 2>&1; do
        kill -0 "$server" 2>/dev/null || fail "Xvfb did not start on $DISPLAY"
        [ $(($(date +%s) - start)) -lt $patience ] || fail "Xvfb did not answer on $DISPLAY in $patience s"
        sleep 0.1
    done
    start_with_window -w 64 -h 48 -ns
    kill "$server"
    status=0
    timeout $patience sh -c 'while kill -0 "$0" 2>/dev/null; do sleep 0.1; done' "$pid"
    wait "$pid" || status=$?
    [ $status = 1 ] || fail "exit status $status after the X server went away: $(cat "$work/out")"
    [ "$(tail -n 1 "$work/out")" = "Lost the connection to the X server, so Marrowgate ends." ] ||
        fail "no word about the X server: $(tail -n 3 "$work/out")"
}

# Under sdl12-compat the game runs natively on Wayland: with no DISPLAY it opens its window in weston,
# with GL, presents frames there under its application id (frames that change nothing are left out)
# and ends with status 0 on SIGTERM. Weston runs as a window of the tests' X server: its headless back
# end offers no seat, without which SDL 2.26 crashes (docs/testing.md).
wayland_check() {
    needs_display
    sdl=$(ldd "$program" | sed -n 's/^\s*libSDL-1\.2\.so\.0 => \(\S*\).*/\1/p')
    case "$(basename "$(readlink -f "$sdl")")" in
    libSDL-1.2.so.0.*) echo "classic SDL 1.2 has no Wayland driver"; exit 77 ;;
    esac
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=x11-backend.so --use-pixman --no-config --socket=marrowgate --width=640 --height=480 \
        --idle-time=0 > "$work/weston" 2>&1 &
    weston=$!
    trap 'kill "$weston" 2>/dev/null || true; rm -rf "$work"' EXIT
    until [ -S "$XDG_RUNTIME_DIR/marrowgate" ]; do
        kill -0 "$weston" 2>/dev/null || fail "weston did not start: $(cat "$work/weston")"
        sleep 0.1
    done
    env -u DISPLAY -u SDL_VIDEODRIVER WAYLAND_DISPLAY=marrowgate WAYLAND_DEBUG=client \
        "$program" -w 320 -h 240 -ns > "$work/out" 2>&1 &
    pid=$!
    start=$(date +%s)
    until [ "$(grep -c 'wl_surface@[0-9]*\.attach(wl_buffer@' "$work/out")" -ge 2 ]; do
        kill -0 "$pid" 2>/dev/null || fail "ended before presenting 2 frames: $(grep -v '[]]  *[-a-z]' "$work/out")"
        [ $(($(date +%s) - start)) -lt $patience ] || fail "fewer than 2 frames in $patience s"
        sleep 0.1
    done
    grep -q '^Using GLEW version: ' "$work/out" || fail "no GL: $(grep -v '[]]  *[-a-z]' "$work/out")"
    grep -q 'set_app_id("io.github.marrowgate.Marrowgate")' "$work/out" || fail "no application id"
    kill -TERM "$pid"
    expect_clean_end SIGTERM
}

"${check}_check"
echo "ok: $check"
