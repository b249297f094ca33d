# SPDX-License-Identifier: MIT
"""Drawing helpers for the hand-inked look: supersampled canvases, wobbly pen strokes, lettering
that bleeds a little into the paper, and the aged-paper texture."""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
INK = (26, 19, 13)          # iron-gall black, a touch warm
GOLD = (226, 180, 74)
SS = 4                       # supersampling factor of every canvas


def font(name, size):
    return ImageFont.truetype(FONT_DIR + name + ".ttf", int(round(size)))


SERIF = "DejaVuSerif"
SERIF_BOLD = "DejaVuSerif-Bold"
SERIF_ITALIC = "DejaVuSerif-Italic"
SERIF_CONDENSED_BOLD_ITALIC = "DejaVuSerifCondensed-BoldItalic"


class Canvas:
    """An RGBA picture drawn at SS times its size and reduced when saved."""

    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.width, self.height = width, height
        self.image = Image.new("RGBA", (width * SS, height * SS), background)
        self.draw = ImageDraw.Draw(self.image)

    def s(self, value):
        return value * SS

    def pts(self, points):
        return [(x * SS, y * SS) for x, y in points]

    def line(self, points, width, fill=INK):
        points = self.pts(points)
        w = max(1, int(round(width * SS)))
        self.draw.line(points, fill=fill, width=w, joint="curve")
        r = w / 2.0
        for x, y in (points[0], points[-1]):
            self.draw.ellipse((x - r, y - r, x + r, y + r), fill=fill)

    def stroke(self, points, width, fill=INK, rng=None, wobble=0.0, taper=True):
        """A pen stroke along points whose width swells and thins like a nib."""
        points = np.asarray(points, float)
        if rng is not None and wobble > 0 and len(points) > 2:
            points = wobbled(points, rng, wobble)
        n = len(points)
        if n < 2:
            return
        seglen = np.hypot(*np.diff(points, axis=0).T)
        along = np.concatenate([[0], np.cumsum(seglen)])
        total = max(along[-1], 1e-6)
        phase = rng.uniform(0, 6.28) if rng is not None else 0.0
        for i in range(n - 1):
            t = along[i] / total
            w = width * (0.85 + 0.15 * math.sin(t * 9.0 + phase))
            if taper:
                w *= min(1.0, 0.45 + 3.0 * min(t, 1 - t))
            self.line([tuple(points[i]), tuple(points[i + 1])], w, fill)

    def polygon(self, points, fill=None, outline=None, width=1.0):
        p = self.pts(points)
        if fill is not None:
            self.draw.polygon(p, fill=fill)
        if outline is not None:
            self.line(list(points) + [points[0]], width, outline)

    def ellipse(self, box, fill=None, outline=None, width=1.0):
        x0, y0, x1, y1 = (v * SS for v in box)
        self.draw.ellipse((x0, y0, x1, y1), fill=fill, outline=outline,
                          width=max(1, int(round(width * SS))) if outline else 0)

    def text(self, xy, text, face, size, fill=INK, anchor="mm", stroke=0.0, stroke_fill=INK, spacing=0.0):
        f = font(face, size * SS)
        if spacing == 0:
            self.draw.text(self.pts([xy])[0], text, font=f, fill=fill, anchor=anchor,
                           stroke_width=int(round(stroke * SS)), stroke_fill=stroke_fill)
            return
        widths = [f.getlength(c) + spacing * SS for c in text]
        total = sum(widths) - spacing * SS
        x, y = self.pts([xy])[0]
        if anchor[0] == "m":
            x -= total / 2
        elif anchor[0] == "r":
            x -= total
        for c, w in zip(text, widths):
            self.draw.text((x, y), c, font=f, fill=fill, anchor="l" + anchor[1],
                           stroke_width=int(round(stroke * SS)), stroke_fill=stroke_fill)
            x += w

    def paste(self, other, xy=(0, 0)):
        """Composites another canvas (same supersampling) at a position in picture pixels."""
        self.image.alpha_composite(other.image, (int(xy[0] * SS), int(xy[1] * SS)))

    def layer(self):
        """A blank canvas of the same size, for drawing that must blend rather than replace."""
        return Canvas(self.width, self.height)

    def result(self):
        # Box filtering averages each pixel's own samples only, so ink stays exactly where drawn.
        return self.image.resize((self.width, self.height), Image.BOX)


def wobbled(points, rng, amount):
    """Moves each point sideways by smooth noise, as an unsteady hand would."""
    points = np.asarray(points, float)
    n = len(points)
    d = np.gradient(points, axis=0)
    norm = np.hypot(d[:, 0], d[:, 1])[:, None] + 1e-9
    normal = np.stack([-d[:, 1], d[:, 0]], axis=1) / norm
    t = np.linspace(0, 1, n)
    offset = np.zeros(n)
    for k in (1, 2, 4, 7):
        offset += rng.normal() / k * np.sin(2 * math.pi * k * t + rng.uniform(0, 6.28))
    offset *= amount / max(np.abs(offset).max(), 1e-9)
    return points + normal * offset[:, None]


def bleed(image, rng, amount=0.6):
    """Roughens an ink picture's edges: a little blur and a noisy threshold, like ink in paper."""
    arr = np.asarray(image, dtype=np.float32).copy()
    alpha = arr[:, :, 3] / 255.0
    noise = value_noise(rng, alpha.shape[1], alpha.shape[0], 3.0) - 0.5
    rough = np.clip((alpha - 0.5) * 1.6 + 0.5 + noise * amount * 0.6 * (alpha * (1 - alpha) * 4), 0, 1)
    arr[:, :, 3] = rough * 255
    return Image.fromarray(arr.round().astype(np.uint8), "RGBA")


def value_noise(rng, width, height, cell):
    """Smooth noise in 0..1 with features about `cell` pixels across."""
    gw, gh = int(width / cell) + 3, int(height / cell) + 3
    grid = rng.random((gh, gw)).astype(np.float32)
    img = Image.fromarray((grid * 255).astype(np.uint8), "L").resize(
        (int(gw * cell), int(gh * cell)), Image.BICUBIC)
    return np.asarray(img, np.float32)[:height, :width] / 255.0


def fractal_noise(rng, width, height, cells, weights):
    out = np.zeros((height, width), np.float32)
    for cell, weight in zip(cells, weights):
        out += value_noise(rng, width, height, cell) * weight
    return out / sum(weights)


def paper(width, height, seed):
    """Aged paper: warm base, cloudy staining, fibres, foxing and darkened edges (RGB array)."""
    rng = np.random.default_rng(seed)
    # A deep parchment tone: Norland's white, laid at half strength over it, must still show.
    base = np.array([206, 176, 116], np.float32)
    cloud = fractal_noise(rng, width, height, [260, 90, 30, 8], [1.0, 0.6, 0.3, 0.15])
    shade = (cloud - 0.5) * 34
    yy, xx = np.mgrid[0:height, 0:width].astype(np.float32)
    dx = (xx - width / 2) / (width / 2)
    dy = (yy - height / 2) / (height / 2)
    edge = np.clip(np.maximum(np.abs(dx), np.abs(dy)) ** 6 * 0.8 + (dx * dx + dy * dy) * 0.12, 0, 1.2)
    rgb = base[None, None, :] + shade[:, :, None] * np.array([1.0, 1.0, 1.1])
    burnt = np.array([150, 108, 60], np.float32)
    rgb = rgb * (1 - edge[:, :, None] * 0.42) + burnt * edge[:, :, None] * 0.42
    # water stains: rings of darker tone
    for _ in range(5):
        cx, cy = rng.uniform(0, width), rng.uniform(0, height)
        rad = rng.uniform(40, 150)
        d = np.hypot(xx - cx, yy - cy) / rad
        wobble = value_noise(rng, width, height, 40) * 0.35
        d = d + wobble
        ring = np.exp(-((d - 1.0) / 0.05) ** 2) * 0.55 + np.clip(1 - d, 0, 1) * 0.12
        rgb -= ring[:, :, None] * np.array([20, 26, 34], np.float32) * rng.uniform(0.4, 1.0)
    # foxing: small rust spots
    fox = np.zeros((height, width), np.float32)
    for _ in range(90):
        cx, cy = rng.uniform(0, width), rng.uniform(0, height)
        rad = rng.uniform(1.0, 5.0)
        x0, x1 = int(max(0, cx - rad * 3)), int(min(width, cx + rad * 3))
        y0, y1 = int(max(0, cy - rad * 3)), int(min(height, cy + rad * 3))
        d = np.hypot(xx[y0:y1, x0:x1] - cx, yy[y0:y1, x0:x1] - cy) / rad
        fox[y0:y1, x0:x1] += np.exp(-d * d) * rng.uniform(0.2, 0.7)
    rgb -= np.clip(fox, 0, 1)[:, :, None] * np.array([40, 62, 90], np.float32)
    # fibres
    fibre = Image.new("L", (width, height), 0)
    fd = ImageDraw.Draw(fibre)
    for _ in range(1400):
        x, y = rng.uniform(0, width), rng.uniform(0, height)
        a = rng.uniform(0, math.pi)
        length = rng.uniform(4, 16)
        fd.line((x, y, x + math.cos(a) * length, y + math.sin(a) * length), fill=int(rng.uniform(20, 60)))
    fibre = np.asarray(fibre.filter(ImageFilter.GaussianBlur(0.6)), np.float32) / 255.0
    light = rng.random(2) > 0.5
    rgb += fibre[:, :, None] * 18 * (1 if light[0] else -1)
    grain = (rng.random((height, width)).astype(np.float32) - 0.5) * 7
    rgb += grain[:, :, None]
    return np.clip(rgb, 0, 255).astype(np.uint8)
