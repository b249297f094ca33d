#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Composes the title screen and a board in play exactly as the game draws them, from the
committed pictures, into docs/preview-title.png and docs/preview-board.png."""
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import board  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
IMAGES = os.path.join(ROOT, "assets", "images")
DOCS = os.path.join(ROOT, "docs")

COLOURS = [(0.8, 0.0, 0.0), (0.1, 0.1, 0.8), (1.0, 1.0, 1.0), (1.0, 1.0, 0.2)]


class Screen:
    """A 1024x768 logical screen that draws pictures like the game's drawer: top-left position,
    scale about the picture's centre (negative mirrors), colour multiplied, alpha as opacity."""

    def __init__(self):
        self.pixels = np.zeros((768, 1024, 3), np.float32)

    def draw(self, name, x, y, sx=1.0, sy=1.0, colour=(1, 1, 1), alpha=1.0):
        picture = load(name)
        h, w = picture.shape[:2]
        if sx < 0:
            picture = picture[:, ::-1]
        sw, sh = int(round(w * abs(sx))), int(round(h * abs(sy)))
        if (sw, sh) != (w, h):
            img = Image.fromarray((picture * 255).round().astype(np.uint8), "RGBA").resize((sw, sh), Image.BILINEAR)
            picture = np.asarray(img, np.float32) / 255.0
        left = int(round(x + (w - sw) / 2.0))
        top = int(round(y + (h - sh) / 2.0))
        x0, y0 = max(0, left), max(0, top)
        x1, y1 = min(1024, left + sw), min(768, top + sh)
        if x0 >= x1 or y0 >= y1:
            return
        part = picture[y0 - top:y1 - top, x0 - left:x1 - left]
        rgb = part[:, :, :3] * np.array(colour, np.float32)
        a = part[:, :, 3:4] * alpha
        region = self.pixels[y0:y1, x0:x1]
        self.pixels[y0:y1, x0:x1] = rgb * a + region * (1 - a)

    def save(self, path):
        Image.fromarray((np.clip(self.pixels, 0, 1) * 255).round().astype(np.uint8), "RGB").save(path, optimize=True)


_CACHE = {}


def load(name):
    if name not in _CACHE:
        _CACHE[name] = np.asarray(Image.open(os.path.join(IMAGES, name)).convert("RGBA"), np.float32) / 255.0
    return _CACHE[name]


def title_preview():
    s = Screen()
    s.draw("paper2.jpg", 0, 0)
    s.draw("title.png", 0, 0)
    for x, colour in zip((114, 364, 610, 828), COLOURS):
        s.draw("guy.png", x, 350, colour=colour)
    humans = [True, False, True, False]
    for x, human in zip((74, 314, 559, 783), humans):
        s.draw("tick.png", x, 415 if human else 449)
    s.draw("hand.png", 520 - 25, 640 - 12)
    return s


def board_preview():
    """Norland's turn, some rounds in: its explored spaces tinted white, food in store, foraged
    spaces showing their food under move targets, a garrison and pieces, Norland standing on the
    space it garrisoned."""
    s = Screen()
    s.draw("paper2.jpg", 0, 0)
    current = 2
    explored = [6, 7, 15, 16, 8, 9, 17, 18]
    pieces = {0: 12, 1: 3, 2: 16, 3: 10}
    foraged = {1: 3, 12: 2, 3: 5, 9: 1, 17: 4, 16: 2, 7: 5}
    garrisons = [16]
    food = 7
    for space in explored:
        s.draw("space%d.png" % space, 0, 0, colour=COLOURS[current], alpha=0.5)
    s.draw("map.png", 0, 0)
    s.draw("norland.png", 20, 20)
    for i in range(food):
        s.draw("biscuits.png", 38 + 40 * (i % 5), 60 + 46 * (i // 5), 0.75, 0.75)
    s.draw("foragebutton.png", 0, 530)
    s.draw("garrisonbutton.png", 0, 590)
    s.draw("waitbutton.png", 0, 650)
    for space in range(19):
        if space in foraged:
            x, y = board.BOXES[space]
            s.draw("biscuits%d.png" % foraged[space], x, y)
    here = pieces[current]
    for n in board.NEIGHBOURS[here]:
        if n in pieces.values() or n in garrisons:
            continue
        x, y = board.BOXES[n]
        s.draw("counter.png", x, y, colour=COLOURS[current])
    for g in garrisons:
        s.draw("garrison.png", *board.BOXES[g])
    for nation in range(4):
        x, y = board.BOXES[pieces[nation]]
        s.draw("guy.png", x, y, colour=COLOURS[nation])
    s.draw("ship.png", 444, 10, -1, 1)
    s.draw("ship.png", 452, 628)
    s.draw("ship.png", 844, 354)
    s.draw("ship.png", 56, 354, -1, 1)
    x, y = board.BOXES[17]
    s.draw("hand.png", x + 30 - 25, y + 34 - 12)
    return s


def main():
    os.makedirs(DOCS, exist_ok=True)
    title_preview().save(os.path.join(DOCS, "preview-title.png"))
    board_preview().save(os.path.join(DOCS, "preview-board.png"))


if __name__ == "__main__":
    main()
