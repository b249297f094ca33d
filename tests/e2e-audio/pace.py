#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Copies standard input to standard output at no more than BYTES_PER_SECOND bytes a second.

Unlike pv's rate limit it never catches up after it was held up, and it shrinks the pipe it reads to
one page: a writer that was held up is never handed a burst of time to fill at once, just as a sound
card with a short buffer never asks for one.

Usage: pace.py BYTES_PER_SECOND < in > out
"""

import fcntl
import os
import sys
import time


def main():
    rate = float(sys.argv[1])
    try:
        fcntl.fcntl(0, fcntl.F_SETPIPE_SZ, 4096)
    except OSError:
        pass  # not a pipe: nothing to shrink
    due = time.monotonic()
    while True:
        data = os.read(0, 4096)
        if not data:
            return 0
        view = memoryview(data)
        while view:
            view = view[os.write(1, view):]
        due = max(due, time.monotonic()) + len(data) / rate
        time.sleep(max(0.0, due - time.monotonic()))


if __name__ == '__main__':
    sys.exit(main())
