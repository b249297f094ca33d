#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the tests of a build folder under a private Xvfb server with Mesa's software OpenGL.
# Usage: tools/run-tests.sh BUILD_DIR [ctest options...]
set -eu
build="${1:-build}"
[ $# -gt 0 ] && shift

export SDL_VIDEODRIVER=x11
export LIBGL_ALWAYS_SOFTWARE=1
# An AddressSanitizer build checks leaks too, with every library kept loaded to the end (Mesa would
# unload its driver, and what the driver still holds would look lost) and the leaks inside the
# libraries the game uses, named in the suppression file, left out. The keeper comes before the
# sanitizer's runtime, which is told that this is fine.
keeper="$build/tests/libmarrowgate_keep_libraries.so"
if [ -f "$keeper" ]; then
    export LD_PRELOAD="$(realpath "$keeper")${LD_PRELOAD:+:$LD_PRELOAD}"
    export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}:verify_asan_link_order=0"
    export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$(realpath "$(dirname "$0")/../tests/support/lsan-suppressions.txt")}"
fi
# The tests must never depend on a sound card, a joystick or the user's own settings.
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
