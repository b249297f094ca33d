#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is missing, builds everything and runs every test; the audio tests run a second
# time under ThreadSanitizer, since the mixer shares its buffers with other threads without locks.
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
./tools/run-tests.sh build

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARROWGATE_TSAN=ON -DMARROWGATE_BENCHMARKS=OFF
cmake --build build-tsan -j"$(nproc)" --target audio_tests
./tools/run-tests.sh build-tsan -L '^audio$'
