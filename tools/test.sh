#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test. The audio tests, and the real game
# playing its music through the capture device, then run again under ThreadSanitizer, since the mixer
# shares its buffers and voices with the main and streaming threads without locks.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
./tools/run-tests.sh build

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWGATE_TSAN=ON -DMARROWGATE_BENCHMARKS=OFF
cmake --build build-tsan -j"$(nproc)" --target audio_tests marrowgate decode_vorbis
./tools/run-tests.sh build-tsan -L '^(audio|e2e-audio)$'
