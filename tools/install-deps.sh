#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the Debian packages Marrowgate needs to build, test and package it and to regenerate its
# art and sound.
# Safe to run again: packages already present are skipped, and nothing asks a question.
set -eu

PACKAGES="cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
 libsdl1.2-dev libsdl-image1.2-dev libvorbis-dev portaudio19-dev libglew-dev libglu1-mesa-dev libgl-dev
 libgl1-mesa-dri libglx-mesa0 xvfb xauth xdotool x11-utils imagemagick
 pv sox libsox-fmt-base vorbis-tools python3 python3-pil python3-numpy fonts-dejavu-core faketime
 appstream desktop-file-utils groff-base man-db dpkg-dev lintian"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -z "$missing" ]; then
    echo "All build dependencies are installed."
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

echo "Installing:$missing"
$SUDO apt-get update -q
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
