#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Runs the real game with ALSA's default device writing everything it plays to a WAV file (see
tests/support/alsa-capture.conf), then checks the stream frame by frame:

  music    44100 Hz stereo float, starting with music.ogg's first frame a few frames after the stream
           starts. Every frame is the straight decode times the fade-in volume (0, rising by 0.000001 a
           frame as a float32 sum, 1.0 from frame 990522 on) times 0.75, or times 0.5 in the one block
           that leads into each new buffer of 11025 frames. Checked up to two buffers past the loop point,
           where the music goes on from its first frame.
  nomusic  (-nm) a stream of silence.
  nosound  (-ns) no stream at all, and no word from the audio device.

The capture takes the samples at real time, as a sound card would, and never in bursts (pace.py). The
audio thread waits on the capture's pipe, so nothing is lost however slow the game is, and the check
waits for the data it needs, up to a deadline of minutes. A ThreadSanitizer build of the game fails the
check with its report.

Usage: capture_audio.py --program PATH --decoder PATH --alsa-config PATH --music PATH --mode MODE
Exit status 0 on success, 1 on failure, 77 when the program is not built or there is no X display.
"""

import argparse
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time

import numpy as np

RATE = 44100
FRAME_BYTES = 8
BUFFER_FRAMES = 11025
GAIN = np.float32(0.75)
CROSSING_GAIN = np.float32(0.5)
FADE_STEP = np.float32(0.000001)
FADE_FRAMES = 990522
# PortAudio writes a few frames of silence ahead of the first block; more than this is a late start.
MAX_LEAD_FRAMES = RATE // 10
# Room for factors multiplied in another order; a wrong gain or fade step is off by far more.
TOLERANCE = 1e-6
# Times real time. The streaming thread has 500 ms / PACE to refill a buffer before the mixer is back;
# at twice real time a busy two-core machine already made it miss a turn now and then.
PACE = 1
DEADLINE_SECONDS = 600
SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))
SUPPRESSIONS = os.path.join(HERE, 'tsan-suppressions.txt')
PACER = os.path.join(HERE, 'pace.py')


def fail(message):
    print('FAIL:', message)
    sys.exit(1)


class Game:
    """The game in a scratch home, playing into the capture device, its output kept in files."""

    def __init__(self, options, home, extra_args):
        self.capture = os.path.join(home, 'capture.wav')
        self.stdout = os.path.join(home, 'stdout.txt')
        self.stderr = os.path.join(home, 'stderr.txt')
        env = dict(os.environ, ALSA_CONFIG_PATH=options.alsa_config, AUDIO_CAPTURE_FILE=self.capture,
                   AUDIO_CAPTURE_FORMAT='wav', AUDIO_CAPTURE_PACER=PACER,
                   AUDIO_CAPTURE_PACE=str(PACE * RATE * FRAME_BYTES),
                   HOME=home, XDG_CONFIG_HOME=home, SDL_VIDEODRIVER='x11',
                   TSAN_OPTIONS=os.environ.get('TSAN_OPTIONS', '') + ' suppressions=' + SUPPRESSIONS)
        env.pop('MARROWGATE_SOUNDS_DIR', None)
        with open(self.stdout, 'w') as out, open(self.stderr, 'w') as err:
            self.process = subprocess.Popen([options.program, '-w', '640', '-h', '480'] + extra_args,
                                            env=env, stdout=out, stderr=err, cwd=home)
        self.deadline = time.monotonic() + DEADLINE_SECONDS

    def output(self):
        with open(self.stdout) as out:
            return out.read()

    def captured_frames(self):
        return max(0, os.path.getsize(self.capture) - 44) // FRAME_BYTES if os.path.exists(self.capture) else 0

    def wait_until(self, ready, what):
        while not ready():
            if self.process.poll() is not None:
                fail('the game ended with status %d before %s%s'
                     % (self.process.returncode, what, self.sanitizer()))
            if time.monotonic() > self.deadline:
                self.process.kill()
                fail('no %s within %d seconds' % (what, DEADLINE_SECONDS))
            time.sleep(0.05)

    def quit(self):
        """Asks the game to quit as a window manager would (SDL makes SIGTERM a quit event)."""
        self.process.send_signal(signal.SIGTERM)
        try:
            status = self.process.wait(timeout=DEADLINE_SECONDS)
        except subprocess.TimeoutExpired:
            self.process.kill()
            fail('the game did not quit within %d seconds' % DEADLINE_SECONDS)
        if status != 0:
            fail('the game exited with status %d%s' % (status, self.sanitizer()))

    def sanitizer(self):
        with open(self.stderr, errors='replace') as err:
            text = err.read()
        start = text.find('ThreadSanitizer')
        return '' if start < 0 else '; ThreadSanitizer says:\n' + text[text.rfind('\n', 0, start) + 1:][:20000]


def read_capture(path):
    """The captured frames, after checking from the WAV header that the stream is stereo float at 44100 Hz."""
    with open(path, 'rb') as capture:
        data = capture.read()
    if data[:4] != b'RIFF' or data[8:12] != b'WAVE':
        fail('the capture has no WAV header')
    position, layout = 12, None
    while position + 8 <= len(data):
        chunk, size = data[position:position + 4], struct.unpack('<I', data[position + 4:position + 8])[0]
        if chunk == b'fmt ':
            _, channels, rate, _, _, bits = struct.unpack('<HHIIHH', data[position + 8:position + 24])
            layout = (channels, rate, bits)
        if chunk == b'data':
            # Written through a pipe, the header's lengths stay unset: the samples run to the end.
            body = data[position + 8:]
            break
        position += 8 + size
    else:
        fail('the capture has no data chunk')
    if layout != (2, RATE, 32):
        fail('the stream has %d channels at %d Hz with %d bits a sample, not stereo float at %d Hz'
             % (layout + (RATE,)))
    frames = len(body) // FRAME_BYTES
    return np.frombuffer(body[:frames * FRAME_BYTES], dtype='<f4').reshape(-1, 2)


def decode(decoder, music):
    raw = subprocess.run([decoder, music], check=True, stdout=subprocess.PIPE).stdout
    return np.frombuffer(raw, dtype='<f4').reshape(-1, 2)


def fade_volume(frames):
    """The fade-in volume the mixer applies to each frame: float32 sums of the step until 1.0 is reached."""
    volume = np.zeros(frames, np.float32)
    volume[1:] = np.cumsum(np.full(frames - 1, FADE_STEP, np.float32), dtype=np.float32)
    first_full = int(np.argmax(volume >= 1.0))
    assert first_full == FADE_FRAMES and volume[first_full] == 1.0, 'the fade arithmetic is off'
    volume[first_full:] = 1.0
    return volume


def check_music(captured, reference):
    frames = len(reference) + 2 * BUFFER_FRAMES
    music = (reference[np.arange(frames) % len(reference)] * fade_volume(frames)[:, None]).astype(np.float32)

    sounding = np.flatnonzero(np.any(captured != 0.0, axis=1))
    if len(sounding) == 0:
        fail('the stream is silent')
    lead = int(sounding[0]) - int(np.flatnonzero(np.any(music != 0.0, axis=1))[0])
    if not 0 <= lead <= MAX_LEAD_FRAMES:
        fail('the music starts %d frames after the stream' % lead)
    heard = captured[lead:lead + frames]

    def mixed_at(gain):
        expected = music * gain
        return np.all(np.abs(heard - expected) <= TOLERANCE * np.abs(expected), axis=1)

    at_gain, at_crossing = mixed_at(GAIN), mixed_at(CROSSING_GAIN)
    wrong = np.flatnonzero(~at_gain & ~at_crossing)
    if len(wrong) > 0:
        frame = int(wrong[0])
        fail('%d frames are wrong, the first at music frame %d (frame %d of a buffer): heard %s, expected %s '
             'times 0.75 (or 0.5 at a change of buffer)'
             % (len(wrong), frame, frame % BUFFER_FRAMES, heard[frame], music[frame]))

    # The block that leads into a new buffer is mixed at 0.5: a run of frames that holds the new buffer's
    # first frame and is no longer than a buffer. Everything else is at 0.75.
    boundaries = np.arange(BUFFER_FRAMES, frames, BUFFER_FRAMES)
    unmarked = boundaries[~at_crossing[boundaries]]
    if len(unmarked) > 0:
        fail('the block entering the buffer at music frame %d was mixed at 0.75, not 0.5' % unmarked[0])
    edges = np.diff(np.concatenate(([0], at_crossing.astype(np.int8), [0])))
    for start, end in zip(np.flatnonzero(edges == 1), np.flatnonzero(edges == -1) - 1):
        if np.all(at_gain[start:end + 1]):
            continue
        boundary = end - end % BUFFER_FRAMES
        if boundary < max(start, 1) or end - start >= BUFFER_FRAMES:
            fail('music frames %d to %d were mixed at 0.5 away from a change of buffer' % (start, end))
    print('%d frames of music exact after a lead of %d frames, through the end of the fade-in (frame %d) '
          'and the loop point (frame %d)' % (frames, lead, FADE_FRAMES, len(reference)))


def check_loaded(output, effects_expected):
    """The music is always loaded; the effects only once something asked for the Sounds singleton."""
    def loaded(name):
        return any(line.startswith('vorbisfile: Loaded file: ') and line.endswith('/' + name)
                   for line in output.splitlines())
    if not loaded('music.ogg'):
        fail('the music was not loaded; the game said:\n' + output)
    for name in ('click.ogg', 'forage.ogg', 'garrison.ogg'):
        if loaded(name) != effects_expected:
            fail('%s was %sloaded; the game said:\n%s' % (name, 'not ' if effects_expected else '', output))


def main():
    parser = argparse.ArgumentParser()
    for name in ('--program', '--decoder', '--alsa-config', '--music'):
        parser.add_argument(name, required=True)
    parser.add_argument('--mode', choices=['music', 'nomusic', 'nosound'], required=True)
    options = parser.parse_args()
    if not os.path.exists(options.program) or not os.path.exists(options.decoder):
        print('SKIP: the game is not built in this build folder')
        return SKIP
    if not os.environ.get('DISPLAY'):
        print('SKIP: no X display (run through tools/run-tests.sh)')
        return SKIP

    with tempfile.TemporaryDirectory() as home:
        game = Game(options, home, {'music': [], 'nomusic': ['-nm'], 'nosound': ['-ns']}[options.mode])
        if options.mode == 'nosound':
            # Once the window is open SDL turns SIGTERM into a quit event, which the main loop sees only
            # after the point where the stream would have been started.
            game.wait_until(lambda: 'Using GLEW version' in game.output(), 'window')
            game.quit()
            if os.path.exists(game.capture):
                fail('a stream was opened with -ns')
            if 'PortAudioDevice' in game.output():
                fail('the audio device spoke with -ns:\n' + game.output())
            check_loaded(game.output(), False)
            print('no stream with -ns')
            return 0

        reference = decode(options.decoder, options.music)
        needed = MAX_LEAD_FRAMES + (len(reference) + 2 * BUFFER_FRAMES if options.mode == 'music' else RATE)
        game.wait_until(lambda: game.captured_frames() >= needed, '%d captured frames' % needed)
        game.quit()
        # Nothing plays an effect before a click: the first audio callback is what loaded them.
        check_loaded(game.output(), True)
        captured = read_capture(game.capture)
        if options.mode == 'nomusic':
            if np.any(captured != 0.0):
                fail('the stream carried sound with -nm')
            print('%d frames of silence with -nm' % len(captured))
            return 0
        check_music(captured, reference)
    return 0


if __name__ == '__main__':
    sys.exit(main())
