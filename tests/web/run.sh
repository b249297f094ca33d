#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs the page's tests in Debian's headless Chromium against the desktop build's drawings of the same
# screens. The npm packages come from the lock file; none downloads a browser.
# Usage: tests/web/run.sh DESKTOP_BUILD WEB_BUILD
set -eu
desktop="$(realpath "$1")"
web="$(realpath "$2")"
cd "$(dirname "$0")"
# The registry is asked once more after a failure, which a busy network sometimes gives.
export PUPPETEER_SKIP_DOWNLOAD=1
npm ci --no-audit --no-fund --loglevel=error || npm ci --no-audit --no-fund --loglevel=error

screens="$(mktemp -d)"
trap 'rm -rf "$screens"' EXIT
# The desktop's pictures, drawn now by the desktop build with Mesa's software GL.
xvfb-run -a -s "-screen 0 1280x1024x24" env LIBGL_ALWAYS_SOFTWARE=1 SDL_VIDEODRIVER=x11 \
    "$desktop/tools/screenshots/marrowgate_screenshots" "$screens" > "$screens/output.txt" ||
    { cat "$screens/output.txt"; exit 1; }
victory="$(sed -n 's/^Victory from seed \([0-9]*\) after \([0-9]*\) frames$/\1 \2/p' "$screens/output.txt")"
[ -n "$victory" ] || { cat "$screens/output.txt"; exit 1; }

"$desktop/tests/e2e-audio/decode_vorbis" ../../resources/sounds/music.ogg > "$screens/music.f32"

MARROWGATE_SITE="$web/site" MARROWGATE_DESKTOP_SCREENS="$screens" MARROWGATE_VICTORY="$victory" \
    MARROWGATE_MUSIC="$screens/music.f32" node --test --test-concurrency=1 browser.test.mjs
