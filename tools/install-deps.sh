#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the Debian packages Marrowgate needs to build and play it; with --tests also those that
# test and package it and regenerate its art and sound, and sdl12-compat's library for the second run
# of the tests, unpacked into build/sdl12-compat (it conflicts with the classic SDL 1.2 development
# package, so it is never installed system-wide).
# Safe to run again: what is already there is skipped, and nothing asks a question.
# With --web, what builds the game for browsers (tools/web.sh); --tests brings that too, and the
# headless browser its tests run in.
# Usage: tools/install-deps.sh [--tests | --web]
set -eu
cd "$(dirname "$0")/.."

PLAY="cmake g++ make pkg-config
 libsdl1.2-dev libsdl-image1.2-dev libvorbis-dev portaudio19-dev libglew-dev libglu1-mesa-dev libgl-dev
 libgl1-mesa-dri libglx-mesa0"
TESTS="libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth xdotool x11-utils imagemagick
 pv sox libsox-fmt-base vorbis-tools python3 python3-pil python3-numpy fonts-dejavu-core faketime
 appstream desktop-file-utils groff-base man-db dpkg-dev lintian libsdl2-2.0-0 libegl-mesa0 weston"
WEB="emscripten binaryen libstb-dev python3"
# The browser tests drive Chromium with npm packages, through the machine's Node.js and its npm.
WEB_TESTS="chromium"
COMPAT_DIR=build/sdl12-compat

packages="$PLAY"
tests=false
case "${1:-}" in
--tests) tests=true; packages="$PLAY $TESTS $WEB $WEB_TESTS" ;;
--web) packages="$WEB" ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
updated=false
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $SUDO apt-get update -q
    updated=true
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi

# sdl12-compat's runtime: the package is fetched and only its library kept.
if $tests && [ ! -e "$COMPAT_DIR/libSDL-1.2.so.0" ]; then
    download="$(mktemp -d)"
    trap 'rm -rf "$download"' EXIT
    if ! (cd "$download" && apt-get download -q libsdl1.2-compat); then
        $updated || $SUDO apt-get update -q
        (cd "$download" && apt-get download -q libsdl1.2-compat)
    fi
    dpkg-deb -x "$download"/libsdl1.2-compat_*.deb "$download/root"
    mkdir -p "$COMPAT_DIR"
    cp -P "$download"/root/usr/lib/*/sdl12-compat/libSDL-1.2.so.* "$COMPAT_DIR/"
    echo "sdl12-compat's library is in $COMPAT_DIR."
fi
[ -n "$missing" ] || echo "All the packages needed are installed."
