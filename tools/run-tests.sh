#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the tests of a build folder under a private Xvfb server with Mesa's software OpenGL.
# Usage: tools/run-tests.sh BUILD_DIR [ctest options...]
set -eu
build="${1:-build}"
[ $# -gt 0 ] && shift

export SDL_VIDEODRIVER=x11
export LIBGL_ALWAYS_SOFTWARE=1
# Mesa's GL driver is unloaded before the leak check at exit, so what it keeps cannot even be named
# in a suppression; AddressSanitizer builds check everything but leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
# The tests must never depend on a sound card, a joystick or the user's own settings.
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
    ctest --test-dir "$build" --output-on-failure --timeout 600 "$@"
