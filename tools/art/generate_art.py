#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Writes every picture of the game into assets/ (and the desktop icon into resources/icons/).

Deterministic: every random choice comes from a fixed seed, so running it twice gives the same
files. Run it from anywhere: /usr/bin/python3 tools/art/generate_art.py
"""
import io
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import board  # noqa: E402
import contact_sheet  # noqa: E402
import pictures  # noqa: E402
import previews  # noqa: E402

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
IMAGES = os.path.join(ROOT, "assets", "images")
FONTS = os.path.join(ROOT, "assets", "fonts")
ICONS = os.path.join(ROOT, "resources", "icons")

GLYPHS = [(c, c) for c in "abcdefghijklmnopqrstuvwxyz0123456789"] + [
    ("period", "."), ("comma", ","), ("plus", "+"), ("minus", "-"), ("exclaim", "!"), ("question", "?")]
ICON_SIZES = [16, 24, 32, 48, 64, 128, 256]


def save_png(image, path):
    """8-bit RGBA, non-interlaced, written the same way on every run."""
    image = image.convert("RGBA")
    buffer = io.BytesIO()
    image.save(buffer, "PNG", optimize=True)
    write_if_changed(path, buffer.getvalue())


def save_jpeg(rgb, path):
    """Baseline JFIF with three components."""
    buffer = io.BytesIO()
    Image.fromarray(rgb, "RGB").save(buffer, "JPEG", quality=90, progressive=False, optimize=True,
                                     subsampling="4:2:0")
    write_if_changed(path, buffer.getvalue())


def write_if_changed(path, data):
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return
    with open(path, "wb") as f:
        f.write(data)


def unmarked_borders(labels, map_image):
    """Border pixels of the overlays (between regions, or land and sea) the map's ink misses."""
    ink = np.asarray(map_image)[:, :, 3].astype(int)
    right = labels[:, :-1] != labels[:, 1:]
    down = labels[:-1, :] != labels[1:, :]
    weak_right = right & (np.maximum(ink[:, :-1], ink[:, 1:]) < 150)
    weak_down = down & (np.maximum(ink[:-1, :], ink[1:, :]) < 150)
    points = np.concatenate([np.argwhere(weak_right), np.argwhere(weak_down)])
    return [(int(x), int(y)) for y, x in points]


def main():
    os.makedirs(IMAGES, exist_ok=True)
    os.makedirs(FONTS, exist_ok=True)
    regions = board.Regions()
    labels = regions.raster(1)
    faults = board.check(labels)
    if faults:
        sys.exit("The regions break the board:\n  " + "\n  ".join(faults))

    art = pictures.all_pictures(regions, labels)
    unmarked = unmarked_borders(labels, art["map.png"])
    if unmarked:
        sys.exit("The map leaves %d region border pixels without ink, e.g. %s" % (len(unmarked), unmarked[:5]))
    ink = np.asarray(art["map.png"])[:, :, 3]
    for space, (x, y) in enumerate(board.BOXES):
        if ink[y:y + board.BOX, x:x + board.BOX].max() >= 40:
            sys.exit("The map draws into the box of space %d" % space)
    for name, image in art.items():
        if name == "paper2.jpg":
            save_jpeg(image, os.path.join(IMAGES, name))
        else:
            save_png(image, os.path.join(IMAGES, name))
    for name, char in GLYPHS:
        save_png(pictures.glyph(char), os.path.join(FONTS, "font%s.png" % name))
    icon = pictures.icon(regions)
    for size in ICON_SIZES:
        folder = os.path.join(ICONS, "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        save_png(icon.resize((size, size), Image.LANCZOS), os.path.join(folder, "marrowgate.png"))
    contact_sheet.main()
    previews.main()
    print("Wrote %d pictures, %d glyphs, the icon, the contact sheet and the previews." % (len(art), len(GLYPHS)))


if __name__ == "__main__":
    main()
