#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test, and the tests that open a window a
# second time on sdl12-compat, the SDL 1.2 over SDL2 that most distributions ship. Then the browser
# build and its tests in headless Chromium. Then every test
# again in a build with AddressSanitizer and UndefinedBehaviorSanitizer and leak checking; and the
# audio tests, and the real game playing its music through the capture device, under
# ThreadSanitizer, since the mixer shares its buffers and voices with the main and streaming threads
# without locks.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh --tests

# Tests and benchmarks are asked for, so that anything missing stops the build instead of leaving
# them out; the install layout is the Debian package's, so that the package is made and checked too.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
    -DMARROWGATE_TESTS=ON -DMARROWGATE_BENCHMARKS=ON
cmake --build build -j"$(nproc)"
./tools/run-tests.sh build
# The same programs, only the SDL library changes (tools/install-deps.sh unpacked it into the build).
compat="$PWD/build/sdl12-compat"
LD_LIBRARY_PATH="$compat" ldd build/marrowgate | grep -q "$compat/libSDL-1.2.so.0" ||
    { echo "sdl12-compat is not in $compat"; exit 1; }
LD_LIBRARY_PATH="$compat${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" \
    ./tools/run-tests.sh build -L '^(app|program|e2e|e2e-audio|game|title|render|screens)$'

# The page: the same sources built for browsers, played in headless Chromium against the desktop
# build's drawings of the same screens.
./tools/web.sh
tests/web/run.sh build build-web

# Everything again under AddressSanitizer and UndefinedBehaviorSanitizer, leaks checked at every exit
# (tools/run-tests.sh sets that up), the fuzz corpora replayed among the tests.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWGATE_ASAN=ON -DMARROWGATE_BENCHMARKS=OFF \
    -DMARROWGATE_TESTS=ON
cmake --build build-asan -j"$(nproc)"
# After Mesa has compiled shader programs, LeakSanitizer's own tracer can crash at exit under CTest
# (a fault of the checker, not a leak): the two drawing tests that build programs run under
# AddressSanitizer without the leak check.
shaders='^(Frames\.|Drawing\.FillsLinesAndImages)'
./tools/run-tests.sh build-asan -E "$shaders"
ASAN_OPTIONS=detect_leaks=0 ./tools/run-tests.sh build-asan -R "$shaders"

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWGATE_TSAN=ON -DMARROWGATE_BENCHMARKS=OFF
cmake --build build-tsan -j"$(nproc)" --target audio_tests marrowgate decode_vorbis
./tools/run-tests.sh build-tsan -L '^(audio|e2e-audio)$'
