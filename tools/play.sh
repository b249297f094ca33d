#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is missing, builds the game and starts it. Arguments go to the game (see --help).
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target marrowgate
exec ./build/marrowgate "$@"
