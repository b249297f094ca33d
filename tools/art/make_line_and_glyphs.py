#!/usr/bin/python3
"""First pictures of the game: the line picture and the 42 glyphs (superseded by the art generator)."""
import os
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "assets")
GLYPHS = [(c, c) for c in "abcdefghijklmnopqrstuvwxyz0123456789"] + [
    ("period", "."), ("comma", ","), ("plus", "+"), ("minus", "-"), ("exclaim", "!"), ("question", "?")]

def save(img, path):
    img.save(path, optimize=True)

line = Image.new("RGBA", (8, 8))
for x, a in enumerate([2, 33, 192, 255, 255, 192, 33, 2]):
    for y in range(8):
        line.putpixel((x, y), (255, 255, 255, a))
save(line, os.path.join(ROOT, "images", "line.png"))

font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 44)
for name, char in GLYPHS:
    img = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    ImageDraw.Draw(img).text((32, 32), char.upper(), font=font, anchor="mm", fill="white",
                             stroke_width=3, stroke_fill="black")
    save(img, os.path.join(ROOT, "fonts", "font%s.png" % name))
