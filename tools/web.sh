#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds Marrowgate for web browsers with Debian's Emscripten: the same sources as the desktop game, with
# the web/ layer for what a page lacks, into build-web/. build-web/site/ is then a folder of static
# files that any web server can host as they are; it needs no special headers.
# With --serve it also serves that folder on this machine and prints the address.
# Usage: tools/web.sh [--serve [PORT]]
set -eu
cd "$(dirname "$0")/.."
./tools/install-deps.sh --web

# Debian's Emscripten finds its JavaScript modules and its Python only through these.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
export EMSDK_PYTHON="${EMSDK_PYTHON:-/usr/bin/python3}"
# The build runs its picture embedder under node; the toolchain's own choice of node flags is for an
# older node than Debian's.
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" \
    >/dev/null
cmake --build build-web -j"$(nproc)"
echo "The page is in build-web/site/."

if [ "${1:-}" = --serve ]; then
    port="${2:-8000}"
    echo "Serving it at http://localhost:$port/ (Ctrl+C stops)."
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
fi
