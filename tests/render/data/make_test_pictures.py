#!/usr/bin/python3
"""Writes the small pictures that the render tests and the drawer benchmark decode."""
import os
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))

# 24-bit, 3 pixels wide: 9 bytes of pixels in rows that the decoder pads to 12.
rgb = Image.new("RGB", (3, 2))
rgb.putdata([(255, 0, 0), (0, 255, 0), (0, 0, 255), (10, 20, 30), (40, 50, 60), (70, 80, 90)])
rgb.save(os.path.join(HERE, "rgb3x2.png"))

# A palette picture, which the loader refuses.
Image.new("P", (4, 4), 1).save(os.path.join(HERE, "palette4x4.png"))

# A full-screen picture like the game's overlays: an opaque shape over transparency.
board = Image.new("RGBA", (1024, 768), (0, 0, 0, 0))
draw = ImageDraw.Draw(board)
draw.ellipse((160, 48, 959, 684), fill=(240, 230, 200, 255), outline=(0, 0, 0, 255), width=6)
for i in range(19):
    x, y = 200 + (i % 5) * 140, 120 + (i // 5) * 130
    draw.polygon([(x, y), (x + 90, y + 20), (x + 70, y + 100), (x - 10, y + 80)], outline=(0, 0, 0, 255))
board.save(os.path.join(HERE, "board1024x768.png"), optimize=True)
