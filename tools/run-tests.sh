#!/bin/sh
# Runs the tests of a build folder under a private Xvfb server with Mesa's software OpenGL.
# Usage: tools/run-tests.sh BUILD_DIR [ctest options...]
set -eu
build="${1:-build}"
[ $# -gt 0 ] && shift

export SDL_VIDEODRIVER=x11
export LIBGL_ALWAYS_SOFTWARE=1
# In sanitizer builds, what the X11 and GL libraries keep until exit is not ours to free.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/support/lsan.supp:print_suppressions=0"
# The tests must never depend on a sound card, a joystick or the user's own settings.
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
