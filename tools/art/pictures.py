# SPDX-License-Identifier: MIT
"""Every picture of the game, drawn in one hand-inked style on aged paper."""
import math

import numpy as np
from PIL import Image

import board
from ink import (Canvas, GOLD, INK, SERIF, SERIF_BOLD, SERIF_CONDENSED_BOLD_ITALIC, SERIF_ITALIC, SS, bleed,
                 font, fractal_noise, paper, value_noise)

NATIONS = ["Ruritania", "Molotavia", "Norland", "Stamark"]
SOLDIER_X = [114, 364, 610, 828]
SOLDIER_Y = 350
CHECK_X = [(84, 115), (322, 353), (565, 596), (790, 821)]
HUMAN_ROWS = (444, 469)
CPU_ROWS = (474, 499)
START_BOX = (356, 618, 663, 657)
TICK_MARK = (10, 29, 37, 50)     # where the tick's ink may lie inside its picture
HOT_SPOT = (25, 12)
BUTTON_FACE = (26, 34, 229, 92)  # inclusive pixel bounds of a button's face
SHIP_INK = board.SHIP_INK
# The 64x64 pictures drawn at a space's corner share it: the soldier (moved left by SOLDIER_SHIFT)
# and the move counter on the left, the food mark at the top and the fort at the bottom of the right
# column, so that every stack the board can show leaves each of them and the food number in sight.
SOLDIER_SHIFT = 9
COUNTER_DISC = (5, 14, 41, 50)
FOOD_PACKET = (47, 1, 16, 17)   # x, y, width, height
FOOD_DIGIT = (54.5, 28.5, 18)   # centre and size
FORT_BOX = (44, 39, 63, 63)


def all_pictures(regions, labels):
    """Name -> picture (PIL image, or an RGB array for the paper)."""
    out = {"paper2.jpg": paper(1024, 768, 11), "line.png": line_picture()}
    out["map.png"] = map_picture(regions, labels)
    for space in range(19):
        out["space%d.png" % space] = overlay(labels, space)
    out["title.png"] = title_page()
    out["sponsor.png"] = sponsor_page()
    out["tick.png"] = tick()
    out["guy.png"] = soldier()
    out["mouse.png"] = arrow_pointer()
    out["hand.png"] = hand_pointer()
    out["embarking.png"] = embarking()
    out["ship.png"] = ship()
    out["counter.png"] = counter()
    out["garrison.png"] = fort()
    out["biscuits.png"] = biscuit_packet()
    for n in range(1, 6):
        out["biscuits%d.png" % n] = food_mark(n)
    for name, label in (("foragebutton", "Forage"), ("garrisonbutton", "Garrison"), ("waitbutton", "Wait")):
        out[name + ".png"] = button(label)
    for nation in NATIONS:
        out[nation.lower() + ".png"] = nation_banner(nation)
        out[nation.lower() + "win.png"] = victory_caption(nation)
    out["winscreen.png"] = win_page()
    out["drawscreen.png"] = draw_page()
    return out


# ---- small pieces -------------------------------------------------------------------------------

def line_picture():
    """White, with the column alphas that give drawn lines a solid middle and soft edges."""
    arr = np.zeros((8, 8, 4), np.uint8)
    arr[:, :, :3] = 255
    arr[:, :, 3] = np.array([2, 33, 192, 255, 255, 192, 33, 2], np.uint8)[None, :]
    return Image.fromarray(arr, "RGBA")


def glyph(char):
    c = Canvas(64, 64)
    c.text((32, 33), char.upper(), SERIF_BOLD, 44, fill=(255, 255, 255, 255), stroke=3,
           stroke_fill=INK + (255,))
    return c.result()


def tick():
    rng = np.random.default_rng(21)
    c = Canvas(64, 64)
    pts = [(13.0, 40.0), (16.5, 42.5), (20.0, 46.5), (23.0, 47.0), (27.0, 41.0), (31.0, 35.5), (34.5, 32.0)]
    c.stroke(pts, 3.6, INK + (255,), rng, 0.3, taper=True)
    c.stroke([(12.5, 39.5), (16, 43), (21.5, 47.5)], 2.6, INK + (255,))
    return clip_to(c.result(), TICK_MARK)


def clip_to(image, box):
    """Clears everything outside an inclusive pixel box."""
    arr = np.asarray(image).copy()
    x0, y0, x1, y1 = box
    mask = np.zeros(arr.shape[:2], bool)
    mask[y0:y1 + 1, x0:x1 + 1] = True
    arr[~mask] = 0
    return Image.fromarray(arr, "RGBA")


def soldier():
    """White toy soldier on a round base; ink outline and grey shading survive the tint. It keeps
    to the box's left part: the food mark and the fort use the right column beside it."""
    c = Canvas(64, 64)
    white = (255, 255, 255, 255)
    shade = (200, 200, 200, 255)
    ink = INK + (255,)
    # base
    c.ellipse((14, 49, 50, 61), fill=ink)
    c.ellipse((15.6, 50.2, 48.4, 59.6), fill=white)
    c.ellipse((32, 51.5, 48, 59), fill=shade)
    # musket at the shoulder, bayonet fixed
    c.line([(45.5, 51), (47.8, 9)], 2.6, ink)
    c.line([(47.8, 9.5), (48.2, 2.0)], 1.0, ink)
    # coat: square shoulders, narrow waist, skirts flaring to the base
    coat = [(19, 31), (22, 28.5), (42, 28.5), (45, 31), (42.5, 41), (47, 53), (17, 53), (21.5, 41)]
    c.polygon(coat, fill=ink)
    c.polygon(shrink(coat, 1.5), fill=white)
    c.polygon([(33, 30), (41.5, 30), (43.6, 31.4), (41.2, 41.5), (45, 51.6), (35, 51.6)], fill=shade)
    # belt with buckle, buttons above it
    c.polygon([(21.2, 40), (42.8, 40), (42.5, 43.4), (21.5, 43.4)], fill=ink)
    c.draw.rectangle((30 * SS, 39.4 * SS, 34 * SS, 44 * SS), fill=white, outline=ink, width=SS)
    for by in (32.5, 36.5):
        c.ellipse((30.9, by - 1.1, 33.1, by + 1.1), fill=ink)
    c.line([(32, 45), (32, 52)], 0.9, ink)
    # epaulettes
    for ex in (19.5, 44.5):
        c.ellipse((ex - 4.2, 27.2, ex + 4.2, 32.4), fill=ink)
        c.ellipse((ex - 2.8, 28.4, ex + 2.8, 31.2), fill=white)
    # head
    c.ellipse((25, 15, 39, 29), fill=ink)
    c.ellipse((26.5, 16.5, 37.5, 27.5), fill=white)
    c.ellipse((32.5, 17.5, 37.2, 27), fill=shade)
    # shako with peak and plume
    c.polygon([(24.5, 5), (39.5, 5), (38.3, 17), (25.7, 17)], fill=ink)
    c.polygon([(26, 6.6), (38, 6.6), (37, 15.4), (27, 15.4)], fill=white)
    c.line([(26.4, 9.6), (37.6, 9.6)], 0.9, ink)
    c.polygon([(24, 16.4), (40.5, 16.4), (42, 19), (26, 18.8)], fill=ink)
    c.ellipse((29.4, 0.6, 34.6, 5.8), fill=ink)
    c.ellipse((30.5, 1.7, 33.5, 4.7), fill=white)
    return shifted(c.result(), -SOLDIER_SHIFT)


def shifted(image, dx):
    """The picture moved dx pixels sideways, what leaves it dropped."""
    arr = np.roll(np.asarray(image), dx, axis=1)
    arr[:, dx:] = 0 if dx < 0 else arr[:, dx:]
    arr[:, :dx] = 0 if dx > 0 else arr[:, :dx]
    return Image.fromarray(arr, "RGBA")


def arrow_pointer():
    c = Canvas(64, 64)
    x, y = HOT_SPOT[0], HOT_SPOT[1] - 0.5
    shape = [(x, y), (x, y + 33), (x + 8, y + 25.5), (x + 13.5, y + 37), (x + 19, y + 34.5),
             (x + 13.5, y + 23), (x + 24, y + 23)]
    c.polygon(shape, fill=INK + (255,))
    inner = shrink(shape, 2.1)
    c.polygon(inner, fill=(255, 255, 255, 255))
    return c.result()


def shrink(points, amount):
    """Moves a convex-ish polygon's vertices towards its centroid by roughly `amount` pixels."""
    pts = np.asarray(points, float)
    n = len(pts)
    out = []
    for i in range(n):
        p, a, b = pts[i], pts[i - 1], pts[(i + 1) % n]
        u = (a - p) / np.linalg.norm(a - p)
        v = (b - p) / np.linalg.norm(b - p)
        bis = u + v
        if np.linalg.norm(bis) < 1e-6:
            bis = np.array([-u[1], u[0]])
        bis /= np.linalg.norm(bis)
        sin_half = math.sqrt(max(1e-6, (1 - float(np.dot(u, v))) / 2))
        cand = p + bis * amount / sin_half
        centroid = pts.mean(axis=0)
        alt = p - bis * amount / sin_half
        out.append(tuple(cand if np.linalg.norm(cand - centroid) < np.linalg.norm(alt - centroid) else alt))
    return out


def hand_pointer():
    c = Canvas(64, 64)
    ink = INK + (255,)
    white = (255, 255, 255, 255)
    x, y = HOT_SPOT[0] + 0.5, HOT_SPOT[1] + 0.05

    def capsule(x0, y0, x1, y1, r, fill):
        c.ellipse((x0 - r, y0 - r, x0 + r, y0 + r), fill=fill)
        c.ellipse((x1 - r, y1 - r, x1 + r, y1 + r), fill=fill)
        c.line([(x0, y0), (x1, y1)], 2 * r, fill)

    # index finger: the fingertip's top is the hot spot
    parts = [((x, y + 5.6), (x, y + 26), 4.0),
             ((x + 8.5, y + 21), (x + 8.5, y + 27), 4.3),
             ((x + 16.5, y + 23), (x + 16.5, y + 29), 4.1),
             ((x + 23.5, y + 26), (x + 23.5, y + 31), 3.8),
             ((x - 8.5, y + 28), (x - 3, y + 33), 4.0)]
    palm = [(x - 5, y + 24), (x + 27.5, y + 26), (x + 27, y + 40), (x + 20, y + 47), (x + 1, y + 47),
            (x - 8, y + 37)]
    for (x0, y0), (x1, y1), r in parts:
        capsule(x0, y0, x1, y1, r + 1.6, ink)
    c.polygon(palm, fill=ink, outline=ink, width=3.6)
    for (x0, y0), (x1, y1), r in parts:
        capsule(x0, y0, x1, y1, r, white)
    c.polygon(shrink(palm, 0.2), fill=white)
    for (x0, y0), (x1, y1), r in parts[1:4]:
        c.line([(x0 - r + 0.4, y0 + 2), (x0 - r + 0.4, y1 + 3)], 1.2, ink)
    c.line([(x - 2, y + 32), (x + 4, y + 36)], 1.2, ink)
    # cuff
    c.polygon([(x - 1, y + 45), (x + 22, y + 45), (x + 22, y + 51), (x - 1, y + 51)], fill=ink)
    c.polygon([(x + 0.6, y + 46.4), (x + 20.4, y + 46.4), (x + 20.4, y + 49.6), (x + 0.6, y + 49.6)], fill=white)
    return c.result()


def counter():
    """White disc with a black ring where a piece would stand, clear of the food mark."""
    c = Canvas(64, 64)
    x0, y0, x1, y1 = COUNTER_DISC
    c.ellipse((x0, y0, x1, y1), fill=INK + (255,))
    c.ellipse((x0 + 3.3, y0 + 3.3, x1 - 3.3, y1 - 3.3), fill=(255, 255, 255, 255))
    c.ellipse((x0 + 6.5, y0 + 6.5, x1 - 6.5, y1 - 6.5), outline=INK + (255,), width=1.1)
    return c.result()


def packet(c, x0, y0, w, h, rng, label=True):
    """A red paper packet of ship's biscuits, drawn three-quarters on."""
    ink = INK + (255,)
    red = (176, 38, 30, 255)
    dark = (120, 24, 20, 255)
    cream = (244, 230, 196, 255)
    d = w * 0.22
    front = [(x0, y0 + d), (x0 + w - d, y0 + d), (x0 + w - d, y0 + h), (x0, y0 + h)]
    top = [(x0, y0 + d), (x0 + d, y0), (x0 + w, y0), (x0 + w - d, y0 + d)]
    side = [(x0 + w - d, y0 + d), (x0 + w, y0), (x0 + w, y0 + h - d), (x0 + w - d, y0 + h)]
    lw = max(1.0, w / 22)
    c.polygon(front, fill=red, outline=ink, width=lw)
    c.polygon(top, fill=(206, 70, 52, 255), outline=ink, width=lw)
    c.polygon(side, fill=dark, outline=ink, width=lw)
    if w >= 100:
        packet_details(c, x0, y0, w, h, d, lw)
    if label:
        fw = w - d
        cx, cy = x0 + fw / 2, y0 + d + (h - d) * 0.52
        rx, ry = fw * 0.36, (h - d) * 0.3
        c.ellipse((cx - rx, cy - ry, cx + rx, cy + ry), fill=cream, outline=ink, width=lw * 0.8)
        br = min(rx, ry) * 0.62
        c.ellipse((cx - br, cy - br, cx + br, cy + br), fill=(214, 170, 104, 255), outline=ink, width=lw * 0.6)
        for k in range(5):
            a = k * 2 * math.pi / 5 + 0.3
            px, py = cx + math.cos(a) * br * 0.5, cy + math.sin(a) * br * 0.5
            c.ellipse((px - lw * 0.5, py - lw * 0.5, px + lw * 0.5, py + lw * 0.5), fill=ink)


def packet_details(c, x0, y0, w, h, d, lw):
    """Hatching on the shaded side and the maker's name on a large packet."""
    ink = INK + (255,)
    for k in range(1, 7):
        t = k / 7
        sx = x0 + w - d + d * t
        c.line([(sx, y0 + d * (1 - t) + 6), (sx, y0 + h - d * t - 6)], lw * 0.16, (70, 14, 12, 255))
    fw = w - d
    band_top, band_bottom = y0 + d + (h - d) * 0.06, y0 + d + (h - d) * 0.18
    c.draw.rectangle(((x0 + lw) * SS, band_top * SS, (x0 + fw - lw) * SS, band_bottom * SS), fill=(244, 230, 196, 255))
    c.line([(x0, band_top), (x0 + fw, band_top)], lw * 0.5, ink)
    c.line([(x0, band_bottom), (x0 + fw, band_bottom)], lw * 0.5, ink)
    c.text((x0 + fw / 2, (band_top + band_bottom) / 2 + 1), "PENNYCRESS", SERIF_BOLD, (band_bottom - band_top) * 0.62,
           fill=ink, spacing=2)
    low_top = y0 + d + (h - d) * 0.86
    c.text((x0 + fw / 2, low_top), "SHIP'S BISCUIT", SERIF_BOLD, (h - d) * 0.055, fill=(244, 230, 196, 255),
           spacing=1.5)


def biscuit(c, cx, cy, r, rng):
    """One round ship's biscuit, docked with holes, a crack of shading on its lower side."""
    ink = INK + (255,)
    c.ellipse((cx - r, cy - r * 0.8, cx + r, cy + r * 0.8), fill=(208, 162, 96, 255), outline=ink, width=2.0)
    c.ellipse((cx - r * 0.8, cy - r * 0.62, cx + r * 0.8, cy + r * 0.62), outline=(120, 80, 40, 255), width=1.0)
    for k in range(7):
        a = k * 2 * math.pi / 7 + rng.uniform(-0.2, 0.2)
        px, py = cx + math.cos(a) * r * 0.45, cy + math.sin(a) * r * 0.36
        c.ellipse((px - 1.6, py - 1.4, px + 1.6, py + 1.4), fill=ink)
    c.ellipse((cx - 1.6, cy - 1.4, cx + 1.6, cy + 1.4), fill=ink)
    arc = [(cx + r * 0.92 * math.cos(a), cy + r * 0.74 * math.sin(a)) for a in np.linspace(0.3, 2.6, 20)]
    c.stroke(arc, 1.0, (90, 56, 24, 255), taper=True)


def biscuit_packet():
    rng = np.random.default_rng(31)
    c = Canvas(64, 64)
    packet(c, 9, 6, 46, 52, rng)
    return c.result()


def food_mark(n):
    """Small packet and its food value, at the top of the box's right column."""
    rng = np.random.default_rng(40 + n)
    c = Canvas(64, 64)
    packet(c, *FOOD_PACKET, rng, label=False)
    x, y, size = FOOD_DIGIT
    c.text((x, y), str(n), SERIF_BOLD, size, fill=(255, 250, 235, 255), stroke=2.2, stroke_fill=INK + (255,))
    return c.result()


def fort():
    """Grey stone tower with a gate, crenellated, at the bottom of the box's right column."""
    c = Canvas(64, 64)
    ink = INK + (255,)
    stone = (158, 154, 146, 255)
    light = (188, 184, 174, 255)
    x0, y0, x1, y1 = FORT_BOX
    top = y0 + 6
    c.polygon([(x0 + 1, top), (x1 - 1, top), (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)], fill=stone, outline=ink, width=1.6)
    for k in range(3):
        x = x0 + 1 + k * 7
        c.polygon([(x, y0 + 1), (x + 4.5, y0 + 1), (x + 4.5, top + 1), (x, top + 1)], fill=light, outline=ink, width=1.3)
    for y in range(top + 5, y1 - 1, 5):
        c.line([(x0 + 2.5, y), (x1 - 2.5, y)], 0.7, (90, 86, 80, 255))
    cx = (x0 + x1) / 2
    c.polygon([(cx - 4, y1 - 1), (cx - 4, y1 - 9), (cx, y1 - 13), (cx + 4, y1 - 9), (cx + 4, y1 - 1)],
              fill=(108, 104, 98, 255), outline=ink, width=1.3)
    c.polygon([(cx - 1.5, top + 3), (cx + 1.5, top + 3), (cx + 1.5, top + 8), (cx - 1.5, top + 8)], fill=ink)
    return c.result()


def ship():
    """A three-masted ship under sail, drawn facing right, its ink kept inside SHIP_INK."""
    rng = np.random.default_rng(61)
    c = Canvas(128, 128)
    ink = INK + (255,)
    sail = (242, 230, 200, 255)
    sail_shade = (214, 196, 156, 255)
    hull = (118, 74, 42, 255)
    hull_dark = (84, 50, 28, 255)
    x0, y0, x1, y1 = SHIP_INK
    # hull: sheer line rising to bow (right) and stern castle (left)
    hull_pts = [(16, 78), (30, 80), (60, 81), (92, 80), (113, 74), (106, 88), (96, 94), (34, 94), (22, 90)]
    c.polygon(hull_pts, fill=hull, outline=ink, width=1.8)
    c.polygon([(16, 78), (16, 71), (30, 72), (30, 80)], fill=hull_dark, outline=ink, width=1.4)
    for yy in (85, 89):
        c.line([(24, yy), (102, yy - 1)], 0.8, ink)
    for px in range(40, 96, 11):
        c.ellipse((px - 1.3, 82.2 - 1.3, px + 1.3, 82.2 + 1.3), fill=ink)
    # bowsprit
    c.line([(104, 77), (120, 66)], 1.5, ink)
    masts = [(42, 46, 0.74), (64, 36, 0.92), (86, 43, 0.8)]
    for mx, top, s in masts:
        c.line([(mx, 80), (mx, top)], 1.6, ink)
        # two square sails, billowing forward
        for k, (ya, yb, half) in enumerate(((top + 5, top + 5 + 17 * s, 10 * s), (top + 24 * s, top + 24 * s + 20 * s, 12.5 * s))):
            belly = 3.0 * s
            pts = [(mx - half, ya), (mx + half, ya)]
            for t in np.linspace(0, 1, 9):
                pts.append((mx + half + belly * math.sin(math.pi * t), ya + (yb - ya) * t))
            pts += [(mx - half, yb)]
            for t in np.linspace(1, 0, 9):
                pts.append((mx - half + belly * 0.6 * math.sin(math.pi * t), ya + (yb - ya) * t))
            c.polygon(pts, fill=sail)
            c.polygon([(mx + half * 0.25, ya)] + pts[2:11] + [(mx + half * 0.25, yb)], fill=sail_shade)
            c.polygon(pts, outline=ink, width=1.2)
            c.line([(mx - half - 1, ya), (mx + half + 1, ya)], 1.3, ink)
            for h in range(3):
                hx = mx + half * (0.35 + 0.2 * h)
                c.line([(hx, ya + 2), (hx + belly * 0.3, yb - 2)], 0.6, ink)
    # jib
    c.polygon([(88, 45), (118, 67), (92, 72)], fill=sail, outline=ink, width=1.1)
    # pennant on the main mast
    c.polygon([(64, 36), (76, 38.5), (64, 40.5)], fill=(176, 38, 30, 255), outline=ink, width=0.7)
    # rigging
    for a, b in (((42, 46), (18, 72)), ((64, 36), (42, 46)), ((64, 36), (86, 43)), ((86, 43), (110, 74))):
        c.line([a, b], 0.55, ink)
    # waves under the hull
    for row, (wx0, wx1, yy) in enumerate(((10, 118, 96.5), (20, 108, 100.3))):
        pts = [(x, yy + 1.3 * math.sin(x / 4.5 + row)) for x in np.arange(wx0, wx1, 1.0)]
        c.stroke(pts, 1.2 - row * 0.3, ink, rng, 0.2)
    img = c.result()
    return clip_to(img, (x0, y0, x1, y1))


# ---- lettering ----------------------------------------------------------------------------------

def small_caps(c, xy, text, size, face=SERIF_BOLD, fill=INK + (255,), anchor="mm", ratio=0.76, spacing=0.06):
    """Capitals with the lower-case letters set as smaller capitals, on one baseline."""
    big = font(face, size * SS)
    small = font(face, size * ratio * SS)
    parts = []
    for ch in text:
        f = big if (ch.isupper() or not ch.isalpha()) else small
        parts.append((ch.upper(), f, f.getlength(ch.upper()) + size * spacing * SS))
    total = sum(w for _, _, w in parts) - size * spacing * SS
    x, y = xy[0] * SS, xy[1] * SS
    if anchor[0] == "m":
        x -= total / 2
    elif anchor[0] == "r":
        x -= total
    cap = big.getbbox("H")
    baseline = y + (cap[3] - cap[1]) / 2 if anchor[1] == "m" else y
    for ch, f, w in parts:
        c.draw.text((x, baseline), ch, font=f, fill=fill, anchor="ls")
        x += w
    return total / SS


def flourish(c, cx, y, half, rng, weight=1.6):
    """A rule that swells in the middle and ends in small curls."""
    pts = [(cx - half + t * 2 * half, y + 0.0) for t in np.linspace(0, 1, 60)]
    c.stroke(pts, weight, INK + (255,), rng, 0.4, taper=True)
    for side in (-1, 1):
        ex = cx + side * half
        curl = [(ex + side * 6 * math.sin(a) - side * 6, y - 6 + 6 * math.cos(a)) for a in np.linspace(0, 4.4, 20)]
        c.stroke(curl, weight * 0.7, INK + (255,), rng, 0.1)
    c.ellipse((cx - 3, y - 3, cx + 3, y + 3), fill=INK + (255,))
    for side in (-1, 1):
        c.ellipse((cx + side * 10 - 1.6, y - 1.6, cx + side * 10 + 1.6, y + 1.6), fill=INK + (255,))


def embarking():
    c = Canvas(512, 128)
    small_caps(c, (256, 64), "Embarking\u2026", 52, SERIF_BOLD)
    return bleed(c.result(), np.random.default_rng(71))


def nation_banner(nation):
    c = Canvas(256, 64)
    text = nation.upper()
    c.text((128, 25), text, SERIF_CONDENSED_BOLD_ITALIC, 34, fill=INK + (255,), spacing=1.5)
    # a plain rule: the food store starts just below the banner
    rng = np.random.default_rng(hash_name(nation))
    c.stroke([(40 + t * 176, 45.0) for t in np.linspace(0, 1, 40)], 1.4, INK + (255,), rng, 0.3)
    c.ellipse((125.5, 42.5, 130.5, 47.5), fill=INK + (255,))
    return bleed(c.result(), np.random.default_rng(hash_name(nation) + 1))


def hash_name(name):
    return sum((i + 1) * ord(ch) for i, ch in enumerate(name))


def victory_caption(nation):
    c = Canvas(1024, 128)
    small_caps(c, (512, 62), "%s is Triumphant" % nation, caption_size(), SERIF_BOLD)
    rng = np.random.default_rng(hash_name(nation) + 7)
    flourish(c, 512, 112, 260, rng, 2.0)
    return bleed(c.result(), rng)


def small_caps_width(text, size, face=SERIF_BOLD, ratio=0.76, spacing=0.06):
    big, small = font(face, size * SS), font(face, size * ratio * SS)
    total = sum((big if (ch.isupper() or not ch.isalpha()) else small).getlength(ch.upper()) + size * spacing * SS
                for ch in text)
    return (total - size * spacing * SS) / SS


def caption_size():
    """One letter size for the four victory captions, the longest filling 880 pixels."""
    longest = max(small_caps_width("%s is Triumphant" % n, 70) for n in NATIONS)
    return min(70.0, 70.0 * 880 / longest)


def fitted(text, face, size, width):
    """The size at which a line of text is at most `width` pixels wide."""
    length = font(face, size * SS).getlength(text) / SS
    return size if length <= width else size * width / length


def story(c, lines, top, width):
    """A page's lines of italic lettering, centred, all at the size that fits the widest."""
    size = min(fitted(text, SERIF_ITALIC, 30, width) for text in lines)
    for i, text in enumerate(lines):
        c.text((512, top + i * 50), text, SERIF_ITALIC, size, fill=INK + (255,))


def return_line(c, y, rng):
    """The invitation to click back to the menu, underlined with a flourish."""
    c.text((512, y), "Click to return to the menu", SERIF_BOLD, 30, fill=INK + (255,))
    flourish(c, 512, y + 31, 190, rng, 1.4)


def win_page():
    c = Canvas(1024, 512)
    rng = np.random.default_rng(81)
    lines = ["Every cove has been charted and every hill has a name.",
             "The crowds line the quay to cheer the explorers home,",
             "the map-makers redraw the old charts in the victor's colours,",
             "and the island's story will be told in their tongue for a century."]
    page_frame(c, rng)
    story(c, lines, 62, 900)
    laurel(c, 512, 318, rng)
    return_line(c, 436, rng)
    return bleed(c.result(), rng)


def laurel(c, cx, cy, rng):
    """A laurel wreath, open at the top, with a star inside."""
    ink = INK + (255,)
    radius = 62
    for side in (-1, 1):
        angles = np.linspace(math.radians(98), math.radians(238), 40)
        if side > 0:
            angles = math.pi - angles
        stem = [(cx + radius * math.cos(a), cy + radius * math.sin(a)) for a in angles]
        c.stroke(stem, 2.2, ink, rng, 0.3)
        for k in range(1, 38, 3):
            (px, py), (qx, qy) = stem[k], stem[k + 1]
            along = math.atan2(qy - py, qx - px)
            size = 16 - 6 * k / 38
            for flip in (-1, 1):
                a = along + flip * 0.62
                tip = (px + math.cos(a) * size, py + math.sin(a) * size)
                mid = ((px + tip[0]) / 2, (py + tip[1]) / 2)
                n = (math.cos(a + math.pi / 2) * size * 0.26, math.sin(a + math.pi / 2) * size * 0.26)
                leaf = [(px, py), (mid[0] + n[0], mid[1] + n[1]), tip, (mid[0] - n[0], mid[1] - n[1])]
                c.polygon(leaf, fill=ink)
        c.line([(cx + side * 4, cy + radius + 2), (cx + side * 16, cy + radius + 12)], 1.8, ink)
    star = []
    for k in range(10):
        r = 17 if k % 2 == 0 else 7
        a = -math.pi / 2 + k * math.pi / 5
        star.append((cx + r * math.cos(a), cy - 4 + r * math.sin(a)))
    c.polygon(star, fill=ink)


def draw_page():
    c = Canvas(1024, 768)
    rng = np.random.default_rng(91)
    page_frame(c, rng)
    small_caps(c, (512, 190), "A Dead Heat", 84, SERIF_BOLD)
    flourish(c, 512, 250, 240, rng, 2.0)
    # However many nations finish together, two, three or four, the page must read true.
    lines = ["The last unknown hills were charted in the very same hour,",
             "and every nation that finished claims the island for its own.",
             "The explorers return to their ships as equals,",
             "and the question of who was first must wait for another voyage."]
    story(c, lines, 330, 880)
    hourglass(c, 512, 580, rng)
    return_line(c, 680, rng)
    return bleed(c.result(), rng)


def hourglass(c, cx, cy, rng):
    """An hourglass run out: the same hour for every nation that finished."""
    ink = INK + (255,)
    sand = (214, 170, 104, 255)
    glass = (246, 238, 220, 255)
    half, h = 30, 46
    bulb = [(cx - half, cy - h), (cx + half, cy - h), (cx + 4, cy), (cx + half, cy + h), (cx - half, cy + h), (cx - 4, cy)]
    c.polygon(bulb, fill=glass, outline=ink, width=2.0)
    c.polygon([(cx - 3, cy + 4), (cx + 3, cy + 4), (cx + half - 4, cy + h - 2), (cx - half + 4, cy + h - 2)], fill=sand)
    c.line([(cx, cy), (cx, cy + 8)], 1.4, sand)
    for y in (cy - h - 6, cy + h + 6):
        c.polygon([(cx - half - 14, y - 5), (cx + half + 14, y - 5), (cx + half + 14, y + 5), (cx - half - 14, y + 5)],
                  fill=(118, 74, 42, 255), outline=ink, width=1.8)
    for x in (cx - half - 8, cx + half + 8):
        c.stroke([(x, cy - h - 1), (x, cy + h + 1)], 3.0, ink, rng, 0.2, taper=False)


# ---- buttons ------------------------------------------------------------------------------------

def button(label):
    rng = np.random.default_rng(hash_name(label))
    c = Canvas(256, 128)
    x0, y0, x1, y1 = BUTTON_FACE
    x1 += 1
    y1 += 1
    ink = INK + (255,)
    board_img = wood(x1 - x0, y1 - y0, rng)
    plank = Canvas(256, 128)
    plank.image.paste(board_img.resize(((x1 - x0) * SS, (y1 - y0) * SS), Image.BICUBIC), (x0 * SS, y0 * SS))
    mask = Canvas(256, 128)
    rounded(mask, x0 + 0.6, y0 + 0.6, x1 - 0.6, y1 - 0.6, 9, (255, 255, 255, 255))
    alpha = mask.image.getchannel("A")
    c.image.paste(plank.image, (0, 0), alpha)
    rounded_outline(c, x0 + 1.3, y0 + 1.3, x1 - 1.3, y1 - 1.3, 8, 2.6, ink)
    rounded_outline(c, x0 + 5.5, y0 + 5.5, x1 - 5.5, y1 - 5.5, 5, 1.1, GOLD + (255,))
    for nx in (x0 + 11, x1 - 11):
        for ny in (y0 + 11, y1 - 11):
            c.ellipse((nx - 2.2, ny - 2.2, nx + 2.2, ny + 2.2), fill=(60, 40, 24, 255))
            c.ellipse((nx - 1.4, ny - 1.6, nx + 0.8, ny + 0.4), fill=GOLD + (255,))
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    shadow = c.layer()
    shadow.text((cx + 1.2, cy + 2.4), label.upper(), SERIF_CONDENSED_BOLD_ITALIC, 30, fill=(30, 16, 8, 190), spacing=1.2)
    c.paste(shadow)
    c.text((cx, cy + 1), label.upper(), SERIF_CONDENSED_BOLD_ITALIC, 30, fill=GOLD + (255,), stroke=1.1,
           stroke_fill=(70, 40, 16, 255), spacing=1.2)
    return c.result()


def wood(width, height, rng):
    """Brown planking with grain, as an RGBA image of the given size."""
    yy, xx = np.mgrid[0:height, 0:width].astype(np.float32)
    warp = value_noise(rng, width, height, 14) * 6
    grain = np.sin((yy + warp) * 1.3 + np.sin(xx / 23.0) * 1.6) * 0.5 + 0.5
    knots = fractal_noise(rng, width, height, [40, 12], [1, 0.5])
    shade = 0.78 + 0.16 * grain + 0.18 * (knots - 0.5)
    top_light = 1.12 - 0.28 * (yy / height)
    base = np.array([128, 78, 40], np.float32)
    rgb = base[None, None, :] * (shade * top_light)[:, :, None]
    arr = np.dstack([np.clip(rgb, 0, 255), np.full((height, width), 255, np.float32)]).astype(np.uint8)
    return Image.fromarray(arr, "RGBA")


def rounded(c, x0, y0, x1, y1, r, fill):
    c.draw.rounded_rectangle((x0 * SS, y0 * SS, x1 * SS, y1 * SS), radius=r * SS, fill=fill)


def rounded_outline(c, x0, y0, x1, y1, r, width, fill):
    c.draw.rounded_rectangle((x0 * SS, y0 * SS, x1 * SS, y1 * SS), radius=r * SS, outline=fill,
                             width=int(round(width * SS)))


# ---- pages --------------------------------------------------------------------------------------

def title_page():
    c = Canvas(1024, 768)
    rng = np.random.default_rng(101)
    ink = INK + (255,)
    page_frame(c, rng)
    small_caps(c, (512, 112), "MARROWGATE", 88, SERIF_BOLD, spacing=0.09)
    flourish(c, 512, 168, 300, rng, 2.2)
    c.text((512, 206), "a race of four nations across an unmapped island", SERIF_ITALIC, 25, fill=ink)
    title_ships(c)
    for i, nation in enumerate(NATIONS):
        centre = SOLDIER_X[i] + 32
        small_caps(c, (centre, 322), nation, 31, SERIF_BOLD)
        bx0, bx1 = CHECK_X[i]
        check_boxes(c, bx0, bx1, rng)
        c.text((bx1 + 12, (HUMAN_ROWS[0] + HUMAN_ROWS[1] + 1) / 2), "Human", SERIF_ITALIC, 23, fill=ink, anchor="lm")
        c.text((bx1 + 12, (CPU_ROWS[0] + CPU_ROWS[1] + 1) / 2), "CPU", SERIF_ITALIC, 23, fill=ink, anchor="lm")
    c.text((512, 552), "Tick who commands each nation, then set sail.", SERIF_ITALIC, 22, fill=ink)
    start_label(c, rng)
    return bleed(c.result(), rng, 0.4)


def title_ships(c):
    """Two ships sailing towards the start label, over a line of waves."""
    picture = ship()
    big = picture.resize((128 * SS, 128 * SS), Image.NEAREST)
    layer = c.layer()
    layer.image.alpha_composite(big, (150 * SS, 566 * SS))
    layer.image.alpha_composite(big.transpose(Image.FLIP_LEFT_RIGHT), (746 * SS, 566 * SS))
    c.paste(layer)


def page_frame(c, rng):
    """The double rule with rings at the corners that frames every page, whatever its height."""
    ink = INK + (255,)
    w, h = c.width, c.height
    for inset, width in ((22, 2.4), (30, 1.0)):
        pts = [(inset, inset), (w - inset, inset), (w - inset, h - inset), (inset, h - inset), (inset, inset)]
        for a, b in zip(pts, pts[1:]):
            seg = [(a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t) for t in np.linspace(0, 1, 40)]
            c.stroke(seg, width, ink, rng, 0.35, taper=False)
    for cx, cy in ((26, 26), (w - 26, 26), (26, h - 26), (w - 26, h - 26)):
        c.ellipse((cx - 6, cy - 6, cx + 6, cy + 6), fill=ink)
        c.ellipse((cx - 3, cy - 3, cx + 3, cy + 3), fill=(0, 0, 0, 0))


def check_boxes(c, bx0, bx1, rng):
    """Two stacked boxes whose insides are exactly the click areas: the rule between them
    fills the rows that belong to neither."""
    ink = INK + (255,)
    left, right = bx0 - 3.5, bx1 + 4.5
    top, mid0, mid1, bottom = HUMAN_ROWS[0] - 3.5, HUMAN_ROWS[1] + 1, CPU_ROWS[0], CPU_ROWS[1] + 4.5
    c.draw.rectangle((left * SS, top * SS, right * SS, (top + 3) * SS), fill=ink)
    c.draw.rectangle((left * SS, (bottom - 3) * SS, right * SS, bottom * SS), fill=ink)
    c.draw.rectangle((left * SS, top * SS, (left + 3) * SS, bottom * SS), fill=ink)
    c.draw.rectangle(((right - 3) * SS, top * SS, right * SS, bottom * SS), fill=ink)
    c.draw.rectangle((left * SS, mid0 * SS, right * SS, mid1 * SS - 1), fill=ink)


def start_label(c, rng):
    ink = INK + (255,)
    x0, y0, x1, y1 = START_BOX
    x1 += 1
    y1 += 1
    # a ribbon cartouche around the hot box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    top, bottom = y0 - 9, y1 + 9
    body = [(x0 - 12, top), (x1 + 12, top), (x1 + 12, bottom), (x0 - 12, bottom)]
    c.polygon(body, outline=ink, width=2.6)
    c.polygon([(x0 - 7, top + 5), (x1 + 7, top + 5), (x1 + 7, bottom - 5), (x0 - 7, bottom - 5)], outline=ink,
              width=1.0)
    for side in (-1, 1):
        ex = x0 - 12 if side < 0 else x1 + 12
        tail = [(ex, top + 10), (ex + side * 34, top + 10), (ex + side * 22, cy + 5), (ex + side * 34, bottom + 4),
                (ex, bottom + 4)]
        c.polygon(tail, outline=ink, width=2.2)
    small_caps(c, (cx, cy), "Start Game", 43, SERIF_BOLD, spacing=0.06)


def sponsor_page():
    c = Canvas(1024, 768)
    rng = np.random.default_rng(111)
    ink = INK + (255,)
    page_frame(c, rng)
    c.text((512, 92), "The voyage to Marrowgate is victualled by", SERIF_ITALIC, 30, fill=ink)
    small_caps(c, (512, 160), "Pennycress & Daughters", 56, SERIF_BOLD)
    flourish(c, 512, 206, 250, rng, 2.0)
    packet(c, 392, 240, 230, 260, rng)
    for bx, by, r in ((300, 452, 34), (246, 482, 28), (724, 452, 34), (780, 484, 28)):
        biscuit(c, bx, by, r, rng)
    small_caps(c, (512, 578), "Ship's Biscuit", 54, SERIF_BOLD)
    c.text((512, 634), "Baked twice, packed dry, good for a year before the mast.", SERIF_ITALIC, 27, fill=ink)
    c.text((512, 684), "Bakers to the fleets of all four nations since 1791", SERIF, 21, fill=ink)
    return bleed(c.result(), rng, 0.4)


# ---- map ----------------------------------------------------------------------------------------

def overlay(labels, space):
    arr = np.zeros(labels.shape + (4,), np.uint8)
    arr[:, :, :3] = 255
    arr[:, :, 3] = np.where(labels == space, 255, 0).astype(np.uint8)
    return Image.fromarray(arr, "RGBA")


def map_picture(regions, labels):
    rng = np.random.default_rng(121)
    c = Canvas(1024, 768)
    ink = INK + (255,)
    decorate_land(c, labels, rng)
    borders = c.layer()
    for curve in (regions.r_centre, regions.r_ring):
        points = regions.closed_curve(curve)
        borders.stroke(points + points[:1], 1.9, ink, taper=False)
    for k in board.OUTER:
        borders.stroke(regions.divider_polyline(k), 1.9, ink, taper=False)
    for lake in regions.lakes:
        borders.polygon(regions.lake_outline(lake), fill=(0, 0, 0, 0))
    c.paste(borders)
    for lake in regions.lakes:
        lake_shore(c, regions.lake_outline(lake), lake[:2], rng)
    coast = regions.closed_curve(regions.r_coast)
    c.stroke(coast + coast[:1], 3.4, ink, taper=False)
    compass(c)
    cartouche(c, labels, rng)
    lines = c.result()
    water = water_lines(regions, labels, rng)
    arr = np.asarray(lines).astype(np.float32)
    a = arr[:, :, 3] / 255.0
    a = 1 - (1 - a) * (1 - water)
    out = np.zeros((768, 1024, 4), np.uint8)
    out[:, :, :3] = INK
    out[:, :, 3] = np.clip(a * 255, 0, 255).round().astype(np.uint8)
    x0, y0, x1, y1 = board.INK_BOUNDS
    mask = np.zeros((768, 1024), bool)
    mask[y0:y1 + 1, x0:x1 + 1] = True
    out[~mask] = 0
    return Image.fromarray(out, "RGBA")


def lake_shore(c, outline, centre, rng):
    """A lake's shore in ink, with two ripples on its water."""
    ink = INK + (255,)
    c.stroke(outline + outline[:1], 2.2, ink, taper=False)
    cx, cy = centre
    for dx, dy, half in ((-2.0, -3.5, 6.5), (2.0, 3.5, 5.0)):
        xs = np.linspace(cx + dx - half, cx + dx + half, 12)
        c.stroke([(x, cy + dy + 0.8 * math.sin((x - cx) * 0.9)) for x in xs], 0.9, ink, rng, 0.1)


def erode(mask, steps):
    """Shrinks a mask by about `steps` pixels (alternating square and diamond steps)."""
    m = mask.copy()
    for i in range(steps):
        n = m.copy()
        n[1:, :] &= m[:-1, :]
        n[:-1, :] &= m[1:, :]
        n[:, 1:] &= m[:, :-1]
        n[:, :-1] &= m[:, 1:]
        if i % 2:
            n[1:, 1:] &= m[:-1, :-1]
            n[:-1, :-1] &= m[1:, 1:]
            n[1:, :-1] &= m[:-1, 1:]
            n[:-1, 1:] &= m[1:, :-1]
        m = n
    return m


# Terrain of each region: weights of hills, trees, grass and mountains.
TERRAIN = {18: (0.2, 0.0, 0.0, 0.8)}
for _s in board.INNER:
    TERRAIN[_s] = (0.6, 0.25, 0.15, 0.0)
for _s in board.OUTER:
    TERRAIN[_s] = (0.15, 0.5, 0.35, 0.0)


def decorate_land(c, labels, rng):
    """Small inked hills, woods, grass and peaks in the room each region leaves around its box."""
    boxes = np.zeros(labels.shape, bool)
    for x, y in board.BOXES:
        boxes[max(0, y - 14):y + board.BOX + 14, max(0, x - 14):x + board.BOX + 14] = True
    for space in range(19):
        room = erode(labels == space, 13) & ~boxes
        ys, xs = np.nonzero(room)
        if len(xs) == 0:
            continue
        order = rng.permutation(len(xs))
        placed = []
        for i in order:
            p = (float(xs[i]), float(ys[i]))
            if all((p[0] - q[0]) ** 2 + (p[1] - q[1]) ** 2 > 26 ** 2 for q in placed):
                placed.append(p)
            if len(placed) >= 7:
                break
        kinds = rng.choice(4, size=len(placed), p=TERRAIN[space])
        for (x, y), kind in zip(placed, kinds):
            (hill, trees, grass, peak)[kind](c, x, y, rng)


def hill(c, x, y, rng):
    ink = INK + (255,)
    w = rng.uniform(8, 10)
    h = rng.uniform(5, 7)
    pts = [(x + t * w, y + 3 - h * math.cos(t * math.pi / 2) ** 1.5) for t in np.linspace(-1, 1, 24)]
    c.stroke(pts, 1.3, ink, rng, 0.25)
    for k in range(4):
        t = 0.2 + 0.18 * k
        hx = x + t * w
        hy = y + 3 - h * math.cos(t * math.pi / 2) ** 1.5
        c.line([(hx, hy + 1.2), (hx - 0.6, min(y + 3, hy + 1.2 + (y + 3 - hy) * 0.7))], 0.7, ink)


def peak(c, x, y, rng):
    ink = INK + (255,)
    w = rng.uniform(7, 9)
    h = rng.uniform(10, 12)
    top = (x + rng.uniform(-1.5, 1.5), y - h + 4)
    c.stroke([(x - w, y + 4), (top[0] - w * 0.3, y - h * 0.3 + 4), top], 1.3, ink, rng, 0.3, taper=False)
    c.stroke([top, (top[0] + w * 0.4, y - h * 0.45 + 4), (x + w, y + 4)], 1.3, ink, rng, 0.3, taper=False)
    for k in range(5):
        t = 0.15 + 0.16 * k
        sx = top[0] + (x + w - top[0]) * t
        sy = top[1] + (y + 4 - top[1]) * t
        c.line([(sx - 0.3, sy + 1.0), (sx - 2.2, min(y + 4, sy + 4.5))], 0.7, ink)


def trees(c, x, y, rng):
    ink = INK + (255,)
    for k in range(int(rng.integers(2, 4))):
        tx = x + (k - 1) * 6.5 + rng.uniform(-1, 1)
        ty = y + rng.uniform(-2, 2) + (2 if k == 1 else 0)
        r = rng.uniform(3.2, 4.2)
        c.line([(tx, ty + r * 0.6), (tx, ty + r + 3.5)], 1.0, ink)
        crown = [(tx + r * math.cos(a) * (1 + 0.1 * math.sin(5 * a)), ty + r * math.sin(a) * 1.1)
                 for a in np.linspace(0, 2 * math.pi, 20)]
        c.polygon(crown, outline=ink, width=1.1)
        c.line([(tx + r * 0.3, ty + r * 0.2), (tx + r * 0.7, ty - r * 0.1)], 0.6, ink)


def grass(c, x, y, rng):
    ink = INK + (255,)
    for k in range(int(rng.integers(3, 5))):
        a = -math.pi / 2 + (k - 1.5) * 0.35 + rng.uniform(-0.1, 0.1)
        length = rng.uniform(4, 6.5)
        bx = x + (k - 1.5) * 1.6
        c.line([(bx, y + 3), (bx + math.cos(a) * length, y + 3 + math.sin(a) * length)], 0.8, ink)


def cartouche(c, labels, rng):
    """The map's name and a scale of leagues, in the open sea at the bottom right."""
    x0, y0, x1, y1 = board.CARTOUCHE
    if np.any(labels[y0 - 12:y1 + 12, x0 - 12:x1 + 12] != board.SEA):
        raise RuntimeError("the cartouche would cover land")
    ink = INK + (255,)
    c.draw.rectangle((x0 * SS, y0 * SS, x1 * SS, y1 * SS), outline=ink, width=int(1.6 * SS))
    c.draw.rectangle(((x0 + 4) * SS, (y0 + 4) * SS, (x1 - 4) * SS, (y1 - 4) * SS), outline=ink, width=int(0.7 * SS))
    cx = (x0 + x1) / 2
    c.text((cx, y0 + 14), "The Isle of", SERIF_ITALIC, 11, fill=ink)
    small_caps(c, (cx, y0 + 29), "Marrowgate", 14.5, SERIF_BOLD, spacing=0.05)
    bar_y = y0 + 42
    left, right = x0 + 22, x1 - 22
    step = (right - left) / 4
    c.line([(left, bar_y), (right, bar_y)], 0.8, ink)
    c.line([(left, bar_y + 4), (right, bar_y + 4)], 0.8, ink)
    for k in range(5):
        c.line([(left + k * step, bar_y - 1), (left + k * step, bar_y + 5)], 0.8, ink)
        if k < 4 and k % 2 == 0:
            c.draw.rectangle(((left + k * step) * SS, bar_y * SS, (left + (k + 1) * step) * SS, (bar_y + 4) * SS),
                             fill=ink)
    c.text((cx, y0 + 56), "leagues", SERIF_ITALIC, 9.5, fill=ink)


def coast_distance(regions, scale=2, reach=40):
    """Distance in picture pixels from the coastline, sampled `scale` times per pixel."""
    w, h = 1024 * scale, 768 * scale
    dist = np.full((h, w), np.inf, np.float32)
    pts = np.array(regions.closed_curve(regions.r_coast))[::2] * scale
    r = reach * scale
    for px, py in pts:
        ix, iy = int(px), int(py)
        x0, x1 = max(0, ix - r), min(w, ix + r + 1)
        y0, y1 = max(0, iy - r), min(h, iy + r + 1)
        xs = (np.arange(x0, x1) + 0.5 - px)[None, :]
        ys = (np.arange(y0, y1) + 0.5 - py)[:, None]
        d = np.sqrt(xs * xs + ys * ys)
        np.minimum(dist[y0:y1, x0:x1], d, out=dist[y0:y1, x0:x1])
    return dist / scale


def water_lines(regions, labels, rng):
    """Rings of ever fainter lines following the coast out to sea (alpha 0..1 per pixel)."""
    scale = 2
    dist = coast_distance(regions, scale)
    ys, xs = np.mgrid[0:768 * scale, 0:1024 * scale]
    sea = regions.label((xs + 0.5) / scale, (ys + 0.5) / scale) == board.SEA
    alpha = np.zeros(dist.shape, np.float32)
    gaps = value_noise(rng, 1024 * scale, 768 * scale, 36)
    for i, (d, w, strength) in enumerate(((6.0, 1.2, 0.85), (11.0, 1.0, 0.7), (17.0, 0.9, 0.55), (24.5, 0.8, 0.4),
                                          (33.0, 0.7, 0.28))):
        line = np.clip((w / 2 + 0.5 / scale - np.abs(dist - d)) * scale, 0, 1) * strength
        if i >= 2:
            line *= np.clip((gaps - 0.22 - 0.08 * i) * 6, 0, 1)
        alpha = np.maximum(alpha, line)
    alpha *= sea
    for x0, y0, x1, y1 in board.KEEP_CLEAR[:2]:
        alpha[y0 * scale:y1 * scale, x0 * scale:x1 * scale] = 0
    img = Image.fromarray((alpha * 255).astype(np.uint8), "L").resize((1024, 768), Image.LANCZOS)
    return np.asarray(img, np.float32) / 255.0


def compass(c):
    cx, cy, _ = board.COMPASS
    ink = INK + (255,)
    c.ellipse((cx - 34, cy - 34, cx + 34, cy + 34), outline=ink, width=1.6)
    c.ellipse((cx - 29, cy - 29, cx + 29, cy + 29), outline=ink, width=0.8)
    for k in range(32):
        a = k * math.pi / 16
        r0 = 29 if k % 4 else 26
        c.line([(cx + math.cos(a) * r0, cy + math.sin(a) * r0), (cx + math.cos(a) * 34, cy + math.sin(a) * 34)],
               0.6, ink)
    for k in range(8):
        a = -math.pi / 2 + k * math.pi / 4
        length = 50 if k % 2 == 0 else 30
        width = 8 if k % 2 == 0 else 6
        tip = (cx + math.cos(a) * length, cy + math.sin(a) * length)
        left = (cx + math.cos(a - math.pi / 2) * width, cy + math.sin(a - math.pi / 2) * width)
        right = (cx + math.cos(a + math.pi / 2) * width, cy + math.sin(a + math.pi / 2) * width)
        c.polygon([(cx, cy), left, tip], fill=ink)
        # the light half of each point stays open: paper shows through
        c.polygon([(cx, cy), right, tip], fill=(0, 0, 0, 0), outline=ink, width=1.0)
        c.line([(cx, cy), tip], 1.0, ink)
    c.text((cx, cy - 61), "N", SERIF_BOLD, 17, fill=ink)


# ---- icon ---------------------------------------------------------------------------------------

def icon(regions):
    """The desktop icon at 512 pixels: the island in ink on a paper tile, with a red soldier on it."""
    n = 512
    c = Canvas(n, n)
    tile = paper(n, n, 17)
    tile_img = Image.fromarray(np.dstack([tile, np.full((n, n), 255, np.uint8)]), "RGBA")
    mask = Canvas(n, n)
    rounded(mask, 16, 16, n - 16, n - 16, 70, (255, 255, 255, 255))
    c.image.paste(tile_img.resize((n * SS, n * SS)), (0, 0), mask.image.getchannel("A"))
    rounded_outline(c, 18, 18, n - 18, n - 18, 68, 10, INK + (255,))
    coast = np.array(regions.closed_curve(regions.r_coast))
    centre = coast.mean(axis=0)
    span = (coast.max(axis=0) - coast.min(axis=0)).max()
    k = 360.0 / span
    def outline(points, scale):
        return [((x - centre[0]) * k * scale + n / 2, (y - centre[1]) * k * scale + n / 2 + 6) for x, y in points]

    calm = regions.closed_curve(board.smooth_periodic(regions.r_coast, 121))
    for scale, width in ((1.19, 3.5), (1.1, 5.0)):
        ring = outline(calm, scale)
        c.stroke(ring + ring[:1], width, INK + (255,), taper=False)
    land = outline(coast, 1.0)
    c.polygon(land, fill=(206, 194, 138, 255))
    c.stroke(land + land[:1], 11, INK + (255,), taper=False)
    piece = soldier().resize((64 * SS * 3, 64 * SS * 3), Image.LANCZOS)
    arr = np.asarray(piece, np.float32).copy()
    arr[:, :, :3] *= np.array([0.8, 0.0, 0.0])
    piece = Image.fromarray(arr.round().astype(np.uint8), "RGBA")
    c.image.alpha_composite(piece, (int((n / 2 - 96) * SS), int((n / 2 - 96) * SS)))
    return c.result()
