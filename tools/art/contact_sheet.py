#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Lays every embedded picture out on one page for review: docs/contact-sheet.png.

Each picture sits in a cell on a checkerboard (so white and transparent parts show), scaled down
to fit, with its name and pixel size underneath."""
import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
FOLDERS = [os.path.join(ROOT, "assets", "images"), os.path.join(ROOT, "assets", "fonts")]
OUT = os.path.join(ROOT, "docs", "contact-sheet.png")
CELL, LABEL, COLUMNS = 180, 28, 10
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"


def checkerboard(width, height, square=8):
    board = Image.new("RGB", (width, height), (205, 205, 205))
    draw = ImageDraw.Draw(board)
    for y in range(0, height, square):
        for x in range((y // square % 2) * square, width, square * 2):
            draw.rectangle((x, y, x + square - 1, y + square - 1), fill=(160, 160, 160))
    return board


def pictures():
    found = []
    for folder in FOLDERS:
        for name in sorted(os.listdir(folder)):
            if name.endswith((".png", ".jpg")):
                found.append(os.path.join(folder, name))
    return found


def main():
    paths = pictures()
    rows = (len(paths) + COLUMNS - 1) // COLUMNS
    sheet = Image.new("RGB", (COLUMNS * CELL, rows * (CELL + LABEL)), (250, 248, 242))
    draw = ImageDraw.Draw(sheet)
    label_font = ImageFont.truetype(FONT, 11)
    for i, path in enumerate(paths):
        picture = Image.open(path).convert("RGBA")
        scale = min((CELL - 12) / picture.width, (CELL - 12) / picture.height, 2.0)
        size = (max(1, round(picture.width * scale)), max(1, round(picture.height * scale)))
        thumb = picture.resize(size, Image.LANCZOS if scale < 1 else Image.NEAREST)
        cx, cy = (i % COLUMNS) * CELL, (i // COLUMNS) * (CELL + LABEL)
        left, top = cx + (CELL - size[0]) // 2, cy + (CELL - size[1]) // 2
        sheet.paste(checkerboard(*size), (left, top))
        sheet.paste(thumb, (left, top), thumb)
        name = os.path.basename(path)
        draw.text((cx + CELL // 2, cy + CELL + 2), name, font=label_font, fill=(30, 30, 30), anchor="mt")
        draw.text((cx + CELL // 2, cy + CELL + 15), "%dx%d" % picture.size, font=label_font, fill=(90, 90, 90),
                  anchor="mt")
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    sheet.save(OUT, optimize=True)


if __name__ == "__main__":
    main()
