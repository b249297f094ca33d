#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Writes the small pictures that the render tests decode."""
import os
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))

# 24-bit, 3 pixels wide: 9 bytes of pixels in rows that the decoder pads to 12.
rgb = Image.new("RGB", (3, 2))
rgb.putdata([(255, 0, 0), (0, 255, 0), (0, 0, 255), (10, 20, 30), (40, 50, 60), (70, 80, 90)])
rgb.save(os.path.join(HERE, "rgb3x2.png"))

# A palette picture, which the loader refuses.
Image.new("P", (4, 4), 1).save(os.path.join(HERE, "palette4x4.png"))
