#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the small Ogg Vorbis files the audio tests play: music of several lengths, a mono and a
# chained file, one with no samples, one cut off, one claiming far more frames than it has, a file that
# is not Ogg at all, the effects, and effects of one sample and of exactly and just over the longest
# allowed length.
# Usage: make_fixtures.sh OUTPUT_DIR
set -eu
out="$1"
mkdir -p "$out/effects"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# sox makes the waves; oggenc encodes them with fixed serial numbers, so chained streams differ.
encode() { oggenc -Q -s "$1" -o "$2" "$3"; }

sox -D -n -r 44100 -c 2 -b 16 "$scratch/short.wav" synth 0.11 sine 300-3000 sine 500-1500 vol 0.7
encode 11 "$out/short.ogg" "$scratch/short.wav"
sox -D -n -r 44100 -c 2 -b 16 "$scratch/long.wav" synth 1.2 sine 200-2000 sawtooth 220-330 vol 0.7
encode 12 "$out/long.ogg" "$scratch/long.wav"
sox -D -n -r 44100 -c 1 -b 16 "$scratch/mono.wav" synth 0.6 sine 150-1200 vol 0.7
encode 13 "$out/mono.ogg" "$scratch/mono.wav"

sox -D -n -r 44100 -c 2 -b 16 "$scratch/first.wav" synth 0.08 sine 440-880 sine 660-990 vol 0.6
sox -D -n -r 44100 -c 2 -b 16 "$scratch/second.wav" synth 0.2 square 100 square 150 vol 0.7
encode 14 "$scratch/first.ogg" "$scratch/first.wav"
encode 15 "$scratch/second.ogg" "$scratch/second.wav"
cat "$scratch/first.ogg" "$scratch/second.ogg" > "$out/chained.ogg"

sox -D -n -r 44100 -c 2 -b 16 "$scratch/empty.wav" trim 0 0
encode 16 "$out/empty.ogg" "$scratch/empty.wav"
echo "This is not an Ogg Vorbis file." > "$out/text.ogg"

# Effects: a click shorter than a block, a stereo forage whose sides differ, a longer garrison.
sox -D -n -r 44100 -c 1 -b 16 "$scratch/click.wav" synth 300s sine 1000-3000 vol 0.7
sox -D -n -r 44100 -c 2 -b 16 "$scratch/forage.wav" synth 0.05 sine 700 square 90 vol 0.6
sox -D -n -r 44100 -c 1 -b 16 "$scratch/garrison.wav" synth 0.3 sine 120-60 vol 0.7
encode 21 "$out/effects/click.ogg" "$scratch/click.wav"
encode 22 "$out/effects/forage.ogg" "$scratch/forage.wav"
encode 23 "$out/effects/garrison.ogg" "$scratch/garrison.wav"
# With music, the effects' folder is a whole sounds folder.
cp "$out/long.ogg" "$out/effects/music.ogg"
# An effect exactly as long as an effect may be: a minute.
sox -D -n -r 44100 -c 1 -b 16 "$scratch/minute.wav" synth 60 sine 440 vol 0.5
encode 24 "$out/minute.ogg" "$scratch/minute.wav"
# One sample longer, refused whole; sox counts samples at the input's rate, so that is given too.
sox -D -r 44100 -n -r 44100 -c 1 -b 16 "$scratch/overlong.wav" synth 2646001s sine 440 vol 0.5
encode 25 "$out/overlong.ogg" "$scratch/overlong.wav"
# The shortest effect: one sample, read in a single frame, at the sine's peak so that it is heard.
sox -D -r 44100 -n -r 44100 -c 1 -b 16 "$scratch/one.wav" synth 1s sine 440 0 25 vol 0.5
encode 26 "$out/one.ogg" "$scratch/one.wav"
# An Ogg Vorbis file cut off half-way through its audio.
head -c 14000 "$out/long.ogg" > "$out/cut.ogg"
# long.ogg with its last page claiming 2^40 frames, the page's checksum made valid again: the claim sits
# on the last of several audio pages, where the decoder believes it.
python3 - "$out/long.ogg" "$out/claiming.ogg" << 'PYTHON'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
last = data.rfind(b"OggS")
data[last + 6:last + 14] = (1 << 40).to_bytes(8, "little")
data[last + 22:last + 26] = bytes(4)
crc = 0
for byte in data[last:]:
    crc ^= byte << 24
    for _ in range(8):
        crc = ((crc << 1) ^ 0x04C11DB7 if crc & 0x80000000 else crc << 1) & 0xFFFFFFFF
data[last + 22:last + 26] = crc.to_bytes(4, "little")
open(sys.argv[2], "wb").write(data)
PYTHON
