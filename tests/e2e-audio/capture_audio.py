#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Runs the real game for a few seconds with ALSA's default device writing to a file, then checks what
the game played: the music fading in (default), silence (-nm), or no stream at all (-ns).

Usage: capture_audio.py --program PATH --alsa-config PATH --music PATH --mode music|nomusic|nosound
Exit status 0 on success, 1 on failure, 77 when the program is not built or there is no X display.
"""

import argparse
import os
import signal
import subprocess
import sys
import tempfile
import time

import numpy as np

RATE = 44100
SKIP = 77
# Seconds of sound to capture once the stream is running; the fade-in is still low but clearly there.
CAPTURE_SECONDS = 4.0
BUFFER_FRAMES = 11025
FADE_STEP = 0.000001
GAIN = 0.75


def fail(message):
    print('FAIL:', message)
    sys.exit(1)


def run_game(program, alsa_config, capture, home, extra_args, expect_sound):
    """Starts the game, lets it play, asks it to quit like the window manager would; returns its output."""
    env = dict(os.environ, ALSA_CONFIG_PATH=alsa_config, AUDIO_CAPTURE_FILE=capture, HOME=home,
               XDG_CONFIG_HOME=home, SDL_VIDEODRIVER='x11')
    env.pop('MARROWGATE_SOUNDS_DIR', None)
    args = [program, '-w', '640', '-h', '480'] + extra_args
    log_path = os.path.join(home, 'stdout.txt')
    with open(log_path, 'w') as log:
        game = subprocess.Popen(args, env=env, stdout=log, stderr=subprocess.DEVNULL, cwd=home)
        # Start-up time varies with the machine; count from when sound first arrives or, where none
        # is expected, from when the music file has been loaded.
        deadline = time.monotonic() + 30.0
        while time.monotonic() < deadline and game.poll() is None:
            if expect_sound and os.path.exists(capture) and os.path.getsize(capture) > 0:
                break
            if not expect_sound and 'vorbisfile: Loaded file: ' in open(log_path).read():
                break
            time.sleep(0.05)
        time.sleep(CAPTURE_SECONDS)
        if game.poll() is not None:
            fail('the game ended by itself with status %d' % game.returncode)
        # SDL turns SIGTERM into a quit event, so the game shuts down in its normal order.
        game.send_signal(signal.SIGTERM)
        try:
            status = game.wait(timeout=30.0)
        except subprocess.TimeoutExpired:
            game.kill()
            fail('the game did not quit within 30 seconds')
    if status != 0:
        fail('the game exited with status %d' % status)
    with open(log_path) as log:
        return log.read()


def decode(music):
    raw = subprocess.run(['sox', music, '-t', 'raw', '-e', 'floating-point', '-b', '32', '-'],
                         check=True, stdout=subprocess.PIPE).stdout
    return np.frombuffer(raw, dtype='<f4').reshape(-1, 2).astype(np.float64)


def read_capture(capture):
    if not os.path.exists(capture):
        fail('nothing was played: no capture file')
    data = np.fromfile(capture, dtype='<f4')
    return data[: len(data) // 2 * 2].reshape(-1, 2).astype(np.float64)


def find_lag(capture, reference, start, length, low, high):
    """The lag (capture frame minus music frame) in [low, high] that best lines up the window at start."""
    window = capture[start:start + length]
    first = max(0, start - high)
    segment = reference[first:min(len(reference), start - low + length)]
    if len(segment) < length:
        fail('no music to line the capture up with at frame %d' % start)
    # Cross-correlation by FFT, normalised by the energy of each stretch of the reference.
    size = 1 << int(np.ceil(np.log2(len(segment) + length)))
    correlation = np.fft.irfft(np.fft.rfft(segment, size) * np.conj(np.fft.rfft(window, size)), size)
    energy = np.convolve(segment ** 2, np.ones(length), 'valid')
    score = correlation[:len(energy)] / np.sqrt(np.maximum(energy, 1e-12))
    return start - (first + int(np.argmax(score)))


def check_music(captured, reference):
    left = captured[:, 0]
    if len(left) < 2 * RATE:
        fail('only %d frames were captured' % len(left))
    # Where the music starts in the capture: PortAudio's prefill and start-up come first.
    lag = find_lag(left, reference[:, 0], 2 * RATE, 8192, 0, 2 * RATE - 1)
    print('music starts at capture frame', lag)
    window = 4096
    checked = 0
    for start in range(lag + RATE // 2, len(left) - window - 2048, window):
        # Follow the alignment, in case the device dropped or repeated a block.
        lag = find_lag(left, reference[:, 0], start, window, lag - 2048, lag + 2048)
        position = start - lag
        if position < 0 or position + window > len(reference):
            continue
        # The one block at each buffer change is mixed at a lower gain; leave those windows out.
        crossing = (position + window + 256) // BUFFER_FRAMES != max(position - 256, 0) // BUFFER_FRAMES
        if crossing:
            continue
        expected_gain = GAIN * FADE_STEP * (position + window / 2)
        for channel in (0, 1):
            heard = captured[start:start + window, channel]
            music = reference[position:position + window, channel]
            gain = np.dot(heard, music) / np.dot(music, music)
            residual = np.linalg.norm(heard - gain * music) / np.linalg.norm(gain * music)
            if abs(gain / expected_gain - 1.0) > 0.1 or residual > 0.1:
                fail('at music frame %d channel %d: gain %.6f, expected %.6f, residual %.3f'
                     % (position, channel, gain, expected_gain, residual))
        checked += 1
    if checked < 10:
        fail('only %d windows could be checked' % checked)
    print('music heard and fading in as expected over', checked, 'windows')


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--program', required=True)
    parser.add_argument('--alsa-config', required=True)
    parser.add_argument('--music', required=True)
    parser.add_argument('--mode', choices=['music', 'nomusic', 'nosound'], required=True)
    options = parser.parse_args()
    if not os.path.exists(options.program):
        print('SKIP: the game is not built in this build folder')
        return SKIP
    if not os.environ.get('DISPLAY'):
        print('SKIP: no X display (run through tools/run-tests.sh)')
        return SKIP

    with tempfile.TemporaryDirectory() as home:
        capture = os.path.join(home, 'capture.raw')
        extra = {'music': [], 'nomusic': ['-nm'], 'nosound': ['-ns']}[options.mode]
        output = run_game(options.program, options.alsa_config, capture, home, extra, options.mode != 'nosound')
        if 'vorbisfile: Loaded file: ' not in output or 'music.ogg' not in output:
            fail('the music was not loaded; the game said:\n' + output)
        if options.mode == 'nosound':
            if os.path.exists(capture):
                fail('a stream was opened and played with -ns')
            if 'PortAudioDevice' in output:
                fail('the audio device spoke with -ns:\n' + output)
            print('no stream with -ns')
            return 0
        captured = read_capture(capture)
        if options.mode == 'nomusic':
            if len(captured) < RATE:
                fail('only %d frames were captured' % len(captured))
            if np.any(captured != 0.0):
                fail('the stream carried sound with -nm')
            print('%d frames of silence with -nm' % len(captured))
            return 0
        check_music(captured, decode(options.music))
    return 0


if __name__ == '__main__':
    sys.exit(main())
