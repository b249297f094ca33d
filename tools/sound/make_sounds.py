#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Synthesises Marrowgate's four sound files into resources/sounds (or the folder given).

music.ogg    stereo 44100 Hz, 38.4 s: a sea-shanty in D Dorian, 6/8, with concertina and fiddle
             melody, plucked chords, bass, drone, frame drum and a faint swell of waves. Everything is
             rendered into one cycle with the tails wrapped round to the start, so the file loops
             without a seam.
click.ogg    a short wooden tick (title choices, moves and waits).
forage.ogg   a rustle and crunch of gathered leaves and roots.
garrison.ogg a stone block set down and knocked into place.

Deterministic: fixed random seeds and fixed Ogg serial numbers, so the same tools give the same files.
Needs numpy and oggenc (vorbis-tools).
"""

import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

RATE = 44100
EIGHTH = int(0.2 * RATE)          # 6/8 at 100 dotted-quarter beats a minute
BAR = 6 * EIGHTH
TWO_PI = 2.0 * np.pi


def frequency(midi):
    return 440.0 * 2.0 ** ((midi - 69) / 12.0)


NOTE = {'A2': 45, 'C3': 48, 'D3': 50, 'E3': 52, 'F3': 53, 'G3': 55, 'A3': 57, 'B3': 59,
        'C4': 60, 'D4': 62, 'E4': 64, 'F4': 65, 'G4': 67, 'A4': 69, 'B4': 71,
        'C5': 72, 'D5': 74, 'E5': 76, 'F5': 77, 'G5': 79, 'A5': 81}

# The tune, one bar a line: (note, eighths). Verse then chorus, twice; the second pass varies the verse.
VERSE = [
    [('D4', 2), ('D4', 1), ('F4', 2), ('A4', 1)],
    [('G4', 2), ('F4', 1), ('E4', 2), ('D4', 1)],
    [('C4', 2), ('E4', 1), ('G4', 2), ('E4', 1)],
    [('C4', 2), ('D4', 1), ('E4', 3)],
    [('D4', 2), ('D4', 1), ('F4', 2), ('A4', 1)],
    [('D5', 2), ('C5', 1), ('A4', 2), ('F4', 1)],
    [('G4', 2), ('E4', 1), ('C4', 2), ('E4', 1)],
    [('D4', 6)],
]
VERSE_AGAIN = [
    [('D4', 2), ('F4', 1), ('A4', 2), ('D5', 1)],
    [('B4', 2), ('A4', 1), ('G4', 2), ('B4', 1)],
    [('C5', 2), ('G4', 1), ('E4', 2), ('G4', 1)],
    [('C5', 2), ('D5', 1), ('E5', 3)],
    [('D5', 2), ('A4', 1), ('F4', 2), ('A4', 1)],
    [('D5', 2), ('C5', 1), ('A4', 2), ('F4', 1)],
    [('G4', 2), ('E4', 1), ('C4', 2), ('E4', 1)],
    [('D4', 3), ('A3', 3)],
]
CHORUS = [
    [('A4', 2), ('A4', 1), ('D5', 3)],
    [('C5', 2), ('A4', 1), ('G4', 3)],
    [('A4', 2), ('A4', 1), ('D5', 2), ('E5', 1)],
    [('F5', 2), ('E5', 1), ('D5', 3)],
    [('C5', 2), ('C5', 1), ('A4', 2), ('G4', 1)],
    [('F4', 2), ('G4', 1), ('A4', 3)],
    [('G4', 2), ('E4', 1), ('C4', 2), ('E4', 1)],
    [('D4', 6)],
]
TUNE = VERSE + CHORUS + VERSE_AGAIN + CHORUS

# One chord a bar (root, third, fifth as notes of the third octave): Dm, C, G (the Dorian sixth) and F.
CHORDS = {'Dm': ('D3', 'F3', 'A3'), 'C': ('C3', 'E3', 'G3'), 'G': ('G3', 'B3', 'D4'), 'F': ('F3', 'A3', 'C4')}
VERSE_CHORDS = ['Dm', 'Dm', 'C', 'C', 'Dm', 'Dm', 'C', 'Dm']
VERSE_AGAIN_CHORDS = ['Dm', 'G', 'C', 'C', 'Dm', 'F', 'C', 'Dm']
CHORUS_CHORDS = ['Dm', 'C', 'Dm', 'Dm', 'C', 'F', 'C', 'Dm']
HARMONY = VERSE_CHORDS + CHORUS_CHORDS + VERSE_AGAIN_CHORDS + CHORUS_CHORDS

CYCLE = len(TUNE) * BAR


def envelope(length, attack, release):
    """A note's shape: linear attack, held level, cosine release; lengths in samples."""
    env = np.ones(length)
    attack = min(attack, length)
    env[:attack] = np.linspace(0.0, 1.0, attack, endpoint=False)
    release = min(release, length - attack)
    if release > 0:
        env[length - release:] *= 0.5 + 0.5 * np.cos(np.linspace(0.0, np.pi, release))
    return env


def reed(freq, length, seed):
    """Concertina: two slightly detuned reeds rich in harmonics."""
    t = np.arange(length) / RATE
    tone = np.zeros(length)
    for n in range(1, 9):
        if freq * n > 9000:
            break
        amplitude = 1.0 / n ** 1.3
        tone += amplitude * (np.sin(TWO_PI * freq * n * t) + np.sin(TWO_PI * freq * 1.003 * n * t + seed))
    return 0.3 * tone * envelope(length, int(0.025 * RATE), int(0.06 * RATE))


def fiddle(freq, length, seed):
    """Fiddle: a bowed sawtooth-like tone with delayed vibrato."""
    t = np.arange(length) / RATE
    depth = 0.004 * np.clip((t - 0.12) / 0.2, 0.0, 1.0)
    phase = TWO_PI * freq * t + depth * freq / 5.5 * (1.0 - np.cos(TWO_PI * 5.5 * t))
    tone = np.zeros(length)
    for n in range(1, 12):
        if freq * n > 10000:
            break
        tone += np.sin(n * phase + 0.3 * seed * n) / n ** 1.1
    bow = 1.0 + 0.08 * np.sin(TWO_PI * 2.0 * t)
    return 0.34 * tone * bow * envelope(length, int(0.05 * RATE), int(0.08 * RATE))


def whistle(freq, length, _seed):
    """Tin whistle an octave up: nearly a sine, with a breath of second harmonic."""
    t = np.arange(length) / RATE
    phase = TWO_PI * freq * t + 0.002 * freq / 6.0 * np.sin(TWO_PI * 6.0 * t)
    tone = np.sin(phase) + 0.12 * np.sin(2 * phase)
    return 0.09 * tone * envelope(length, int(0.03 * RATE), int(0.05 * RATE))


def pluck(freq, seconds, brightness=1.0):
    """A plucked string: harmonics that die away the faster the higher they are."""
    length = int(seconds * RATE)
    t = np.arange(length) / RATE
    tone = np.zeros(length)
    for n in range(1, 16):
        if freq * n > 12000:
            break
        decay = 2.5 + 0.9 * n * n / brightness
        tone += np.sin(TWO_PI * freq * n * t) * np.exp(-decay * t) / n
    return tone * envelope(length, 40, int(0.05 * RATE))


def bass(freq, seconds):
    """A round bass note: fundamental and two soft overtones."""
    length = int(seconds * RATE)
    t = np.arange(length) / RATE
    tone = np.sin(TWO_PI * freq * t) + 0.35 * np.sin(TWO_PI * 2 * freq * t) + 0.1 * np.sin(TWO_PI * 3 * freq * t)
    return tone * np.exp(-1.6 * t) * envelope(length, 200, int(0.1 * RATE))


def drum(rng, strength):
    """A frame drum: a falling thump with a little skin noise."""
    length = int(0.35 * RATE)
    t = np.arange(length) / RATE
    pitch = 70.0 + 60.0 * np.exp(-t * 30.0)
    thump = np.sin(TWO_PI * np.cumsum(pitch) / RATE) * np.exp(-t * 11.0)
    skin = lowpass(rng.standard_normal(length), 2500.0) * np.exp(-t * 45.0)
    return strength * (thump + 0.3 * skin)


def lowpass(signal, cutoff):
    """A gentle FFT lowpass (circular, so periodic input stays periodic)."""
    spectrum = np.fft.rfft(signal)
    bins = np.fft.rfftfreq(len(signal), 1.0 / RATE)
    spectrum *= 1.0 / (1.0 + (bins / cutoff) ** 4)
    return np.fft.irfft(spectrum, len(signal))


def bandpass(signal, low, high):
    spectrum = np.fft.rfft(signal)
    bins = np.fft.rfftfreq(len(signal), 1.0 / RATE)
    spectrum *= (1.0 / (1.0 + (low / np.maximum(bins, 1.0)) ** 4)) / (1.0 + (bins / high) ** 4)
    return np.fft.irfft(spectrum, len(signal))


class Track:
    """A stereo cycle that notes are added into; what runs past the end wraps round to the start."""

    def __init__(self):
        self.left = np.zeros(CYCLE)
        self.right = np.zeros(CYCLE)

    def add(self, start, sound, pan):
        gain_left = np.cos((pan + 1.0) * np.pi / 4.0)
        gain_right = np.sin((pan + 1.0) * np.pi / 4.0)
        positions = (start + np.arange(len(sound))) % CYCLE
        np.add.at(self.left, positions, gain_left * sound)
        np.add.at(self.right, positions, gain_right * sound)


def melody(track):
    start = 0
    for bar_index, bar in enumerate(TUNE):
        second_pass = bar_index >= 16
        for note_index, (name, eighths) in enumerate(bar):
            freq = frequency(NOTE[name])
            # Notes overlap slightly into the next one, for a legato line.
            length = eighths * EIGHTH + int(0.04 * RATE)
            seed = bar_index * 7 + note_index
            if second_pass:
                track.add(start, fiddle(freq, length, seed), 0.25)
                track.add(start, whistle(2.0 * freq, length, seed), -0.3)
            else:
                # Slightly left, against the fiddle's pass on the right: the plucked chords sit left
                # too, but the melody carries most of the energy, and the mix must not lean.
                track.add(start, reed(freq, length, seed), -0.15)
            start += eighths * EIGHTH


def accompaniment(track, rng):
    # A lilting 6/8 pattern over each chord: root, fifth, third, octave, fifth, third.
    pattern = [0, 2, 1, 3, 2, 1]
    for bar_index, chord_name in enumerate(HARMONY):
        root, third, fifth = (NOTE[n] for n in CHORDS[chord_name])
        voices = [root, third, fifth, root + 12]
        bar_start = bar_index * BAR
        for step, voice in enumerate(pattern):
            accent = 1.0 if step in (0, 3) else 0.7
            sound = 0.08 * accent * pluck(frequency(voices[voice]), 1.2, brightness=1.4)
            track.add(bar_start + step * EIGHTH, sound, -0.45)
        # Bass on both beats of the bar: the root, then the fifth below the octave.
        track.add(bar_start, 0.30 * bass(frequency(root - 12), 0.6), 0.0)
        track.add(bar_start + 3 * EIGHTH, 0.22 * bass(frequency(fifth - 12), 0.6), 0.0)
        # Frame drum: strong on the bar, lighter on the second beat, a tap before the bar line.
        track.add(bar_start, drum(rng, 0.30), 0.1)
        track.add(bar_start + 3 * EIGHTH, drum(rng, 0.18), 0.1)
        if bar_index % 2 == 1:
            track.add(bar_start + 5 * EIGHTH, drum(rng, 0.09), 0.1)


def drone(track):
    """An open fifth on D that swells with the phrases; its pitches repeat exactly once a cycle."""
    seconds = CYCLE / RATE
    t = np.arange(CYCLE) / RATE
    swell = 0.55 + 0.45 * np.sin(TWO_PI * 4.0 * t / seconds - np.pi / 2.0) ** 2
    tone = np.zeros(CYCLE)
    for midi, level in ((38, 1.0), (45, 0.6), (50, 0.35)):
        freq = round(frequency(midi) * seconds) / seconds
        for n, amplitude in ((1, 1.0), (2, 0.3), (3, 0.12)):
            tone += level * amplitude * np.sin(TWO_PI * freq * n * t)
    track.left += 0.035 * swell * tone
    track.right += 0.035 * swell * tone


def waves(track, rng):
    """Surf: low, slowly swelling noise, periodic with the cycle."""
    seconds = CYCLE / RATE
    t = np.arange(CYCLE) / RATE
    for channel, phase in ((track.left, 0.0), (track.right, 1.3)):
        noise = bandpass(rng.standard_normal(CYCLE), 150.0, 900.0)
        noise /= np.max(np.abs(noise))
        swell = np.sin(np.pi * (8.0 * t / seconds) + phase) ** 4
        channel += 0.05 * swell * noise


def reverb(track, rng):
    """A small room: circular convolution with decaying noise, different on each side."""
    length = int(1.4 * RATE)
    t = np.arange(length) / RATE
    for channel in (track.left, track.right):
        response = rng.standard_normal(length) * np.exp(-t * 4.5)
        response[: int(0.012 * RATE)] = 0.0
        response *= 0.22 / np.sqrt(np.sum(response ** 2))
        padded = np.zeros(CYCLE)
        padded[:length] = response
        wet = np.fft.irfft(np.fft.rfft(channel) * np.fft.rfft(padded), CYCLE)
        channel += wet


def make_music():
    rng = np.random.default_rng(1802)
    track = Track()
    melody(track)
    accompaniment(track, rng)
    drone(track)
    reverb(track, rng)
    waves(track, rng)
    stereo = np.stack([track.left, track.right], axis=1)
    return 0.85 * stereo / np.max(np.abs(stereo))


def make_click():
    rng = np.random.default_rng(7)
    length = int(0.05 * RATE)
    t = np.arange(length) / RATE
    knock = (np.sin(TWO_PI * 1750.0 * t) * np.exp(-t * 160.0)
             + 0.6 * np.sin(TWO_PI * 3100.0 * t) * np.exp(-t * 260.0))
    tick = bandpass(rng.standard_normal(length), 2000.0, 9000.0) * np.exp(-t * 900.0)
    sound = knock + 0.5 * tick
    sound *= envelope(length, 8, int(0.01 * RATE))
    return 0.8 * sound / np.max(np.abs(sound))


def make_forage():
    """Hands in dry leaves: bursts of crackle grains, with a duller crunch under the first ones."""
    rng = np.random.default_rng(11)
    length = int(0.6 * RATE)
    t = np.arange(length) / RATE
    grains = np.zeros(length)
    for burst_start, burst_length, density in ((0.0, 0.16, 1.0), (0.2, 0.14, 0.8), (0.37, 0.18, 0.6)):
        count = int(140 * density)
        starts = rng.uniform(burst_start, burst_start + burst_length, count)
        for start in starts:
            at = int(start * RATE)
            grain_length = int(rng.uniform(0.002, 0.008) * RATE)
            if at + grain_length > length:
                continue
            shape = np.exp(-np.arange(grain_length) / (grain_length / 4.0))
            grains[at:at + grain_length] += rng.uniform(0.3, 1.0) * shape * rng.standard_normal(grain_length)
    crackle = bandpass(grains, 1200.0, 7000.0)
    crunch = bandpass(grains, 200.0, 1200.0)
    sound = crackle + 0.8 * crunch
    sound *= envelope(length, 30, int(0.08 * RATE))
    return 0.8 * sound / np.max(np.abs(sound))


def make_garrison():
    """A stone block set down with a heavy thud, then a mason's hammer knocking it into place."""
    rng = np.random.default_rng(23)
    length = int(0.75 * RATE)
    t = np.arange(length) / RATE
    pitch = 55.0 + 75.0 * np.exp(-t * 25.0)
    thud = np.sin(TWO_PI * np.cumsum(pitch) / RATE) * np.exp(-t * 9.0)
    grit = lowpass(rng.standard_normal(length), 1800.0) * np.exp(-t * 35.0)
    sound = thud + 0.6 * grit
    knock_at = int(0.34 * RATE)
    k = np.arange(length - knock_at) / RATE
    knock = (np.sin(TWO_PI * 820.0 * k) * np.exp(-k * 55.0)
             + 0.7 * np.sin(TWO_PI * 2270.0 * k) * np.exp(-k * 90.0)
             + 0.4 * np.sin(TWO_PI * 185.0 * k) * np.exp(-k * 30.0)
             + 0.5 * bandpass(rng.standard_normal(len(k)), 1500.0, 6000.0) * np.exp(-k * 300.0))
    sound[knock_at:] += 0.45 * knock
    sound *= envelope(length, 20, int(0.15 * RATE))
    return 0.85 * sound / np.max(np.abs(sound))


def write_ogg(path, samples, serial, quality):
    """Writes 16-bit WAV (rounded, no dither: the output must not depend on chance) and encodes it."""
    if samples.ndim == 1:
        samples = samples[:, np.newaxis]
    pcm = np.round(np.clip(samples, -1.0, 1.0) * 32767.0).astype('<i2')
    with tempfile.TemporaryDirectory() as scratch:
        wav_path = os.path.join(scratch, 'sound.wav')
        with wave.open(wav_path, 'wb') as wav:
            wav.setnchannels(samples.shape[1])
            wav.setsampwidth(2)
            wav.setframerate(RATE)
            wav.writeframes(pcm.tobytes())
        subprocess.run(['oggenc', '--quiet', '-q', str(quality), '--serial', str(serial),
                        '-o', path, wav_path], check=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default = os.path.join(here, '..', '..', 'resources', 'sounds')
    target = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else default)
    os.makedirs(target, exist_ok=True)
    write_ogg(os.path.join(target, 'music.ogg'), make_music(), 4101, 4)
    write_ogg(os.path.join(target, 'click.ogg'), make_click(), 4102, 6)
    write_ogg(os.path.join(target, 'forage.ogg'), make_forage(), 4103, 6)
    write_ogg(os.path.join(target, 'garrison.ogg'), make_garrison(), 4104, 6)
    print('Sounds written to', target)


if __name__ == '__main__':
    main()
