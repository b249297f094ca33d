#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What the game's drawing costs the machine: the process's CPU seconds per wall second (all of its
threads, Mesa's llvmpipe threads included) on the idle title screen, during a human turn with the
pointer still, and during a four-computer game. Each scene runs twice in one go: drawing every frame
(MARROWGATE_DRAW_EVERY_FRAME=1, as before unchanged frames were left out) and as the game runs now.

Usage: benchmarks/frame-cpu.py BUILD_DIR [seconds per scene, default 10]
Needs Xvfb and xdotool; the game runs on a private Xvfb server with Mesa's software renderer."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")


PARTS = ("main thread", "llvmpipe", "other threads")


def cpu_seconds(pid):
    """User and system time so far of the process's main thread, of Mesa's llvmpipe threads and of its
    other threads (SDL's timer, the music), from /proc/PID/task/*/stat."""
    used = dict.fromkeys(PARTS, 0.0)
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/stat") as stat:
                text = stat.read()
        except FileNotFoundError:
            continue  # a thread that just ended
        # The thread's name may hold blanks; the fields after its closing parenthesis are fixed.
        name, fields = text.split("(", 1)[1].rsplit(")", 1)[0], text.rsplit(")", 1)[1].split()
        part = "main thread" if task == str(pid) else "llvmpipe" if name.startswith("llvmpipe") else "other threads"
        used[part] += (int(fields[11]) + int(fields[12])) / TICKS
    return used


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-noreset"],
                              pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as chosen:
        display = ":" + chosen.readline().strip()
    return server, display


class Game:
    """The real program in a 1024x768 window, driven with xdotool."""

    def __init__(self, program, display, draw_every_frame):
        self.home = tempfile.mkdtemp(prefix="frame-cpu-")
        env = dict(os.environ, DISPLAY=display, HOME=self.home, XDG_CONFIG_HOME=self.home,
                   SDL_VIDEODRIVER="x11", LIBGL_ALWAYS_SOFTWARE="1")
        env.pop("MARROWGATE_DRAW_EVERY_FRAME", None)
        if draw_every_frame:
            env["MARROWGATE_DRAW_EVERY_FRAME"] = "1"
        self.env = env
        self.process = subprocess.Popen([program, "-w", "1024", "-h", "768", "-ns"], env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.window = self.xdotool("search", "--sync", "--onlyvisible", "--name", "^Marrowgate$").split()[0]

    def xdotool(self, *arguments):
        return subprocess.run(["timeout", "20", "xdotool", *arguments], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def click(self, x, y):
        self.xdotool("mousemove", "--sync", "--window", self.window, str(x), str(y), "click", "1")
        time.sleep(0.3)

    def rest_pointer(self):
        """Leaves the pointer still on a spot that is no button."""
        self.xdotool("mousemove", "--sync", "--window", self.window, "900", "100")

    def cpu_per_second(self, seconds):
        """The whole process's CPU seconds per wall second, and each part's."""
        time.sleep(2)  # pictures decoded, loading passes over
        used, began = cpu_seconds(self.process.pid), time.monotonic()
        time.sleep(seconds)
        now, wall = cpu_seconds(self.process.pid), time.monotonic() - began
        parts = {part: (now[part] - used[part]) / wall for part in PARTS}
        return sum(parts.values()), parts

    def close(self):
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.home, ignore_errors=True)


def measure(program, display, draw_every_frame, seconds):
    results = {}
    # The title, after a click has ended the sponsor page; then a game of four people.
    game = Game(program, display, draw_every_frame)
    game.click(900, 100)
    game.rest_pointer()
    results["idle title screen"] = game.cpu_per_second(seconds)
    game.click(500, 640)
    game.rest_pointer()
    results["human turn, pointer still"] = game.cpu_per_second(seconds)
    game.close()
    # Every nation to the computer, then start.
    game = Game(program, display, draw_every_frame)
    game.click(900, 100)
    for x in (100, 338, 580, 805):
        game.click(x, 486)
    game.click(500, 640)
    game.rest_pointer()
    results["four-computer game"] = game.cpu_per_second(seconds)
    game.close()
    return results


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    program = os.path.join(sys.argv[1], "marrowgate")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    server, display = start_xvfb()
    try:
        before = measure(program, display, True, seconds)
        after = measure(program, display, False, seconds)
    finally:
        server.terminate()
        server.wait()
    print(f"CPU seconds per wall second, {seconds:g} s per scene (1.00 = one core busy)")
    print(f"{'scene':28} {'every frame':>12} {'unchanged left out':>19}   of which: "
          + ", ".join(PARTS))
    for scene in before:
        parts = ", ".join(f"{after[scene][1][part]:.3f}" for part in PARTS)
        print(f"{scene:28} {before[scene][0]:12.3f} {after[scene][0]:19.3f}   {parts}")


if __name__ == "__main__":
    main()
