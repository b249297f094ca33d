# SPDX-License-Identifier: MIT
"""The island's 19 regions, built once from the board's space boxes.

The island is laid out around a centre point in polar coordinates: a centre region, an inner ring
of six and an outer ring of twelve, separated by two closed curves and closed by the coastline.
Radial dividers split the rings; the six dividers where the outer ring changes its inner neighbour
run on through the inner ring. Where such a divider crosses the inner/outer curve, four regions
would meet at a point and two of them that are not neighbours would seem to touch, so a small lake
sits there instead: every corner where regions meet is then a three-way corner.
Every curve is a Voronoi-like bisector between the space boxes on either side, with a small
hand-drawn wobble, so each box keeps clear of every border. The map's ink and the 19 white
overlays are both drawn from this one data set.
"""
import math

import numpy as np

# Top-left corners of the 64x64 space boxes, by space index.
BOXES = [(476, 172), (608, 208), (682, 290), (712, 384), (687, 490), (598, 550), (492, 566),
         (357, 550), (272, 475), (232, 374), (248, 270), (337, 195), (502, 270), (592, 350),
         (572, 438), (484, 460), (380, 430), (370, 308), (468, 364)]
BOX = 64

# Neighbours of every space, in the order the game adds them.
NEIGHBOURS = [[1, 11, 12], [2, 0, 12], [3, 1, 13], [4, 2, 13], [5, 3, 14], [6, 4, 14], [7, 5, 15],
              [8, 6, 16], [9, 7, 16], [10, 8, 17], [11, 9, 17], [0, 10, 17], [0, 1, 13, 18, 17],
              [2, 3, 14, 18, 12], [4, 5, 15, 18, 13], [6, 16, 18, 14], [7, 8, 17, 18, 15],
              [9, 10, 11, 12, 18, 16], [12, 13, 14, 15, 16, 17]]

OUTER = list(range(12))
INNER = list(range(12, 18))
CENTRE_SPACE = 18
SEA = 255
LAKE = 254

# Radius of the lakes at the four-way points: their chord between two regions that are not
# neighbours must stay wide enough to read as water, not as a shared border.
LAKE_RADIUS = 16.0
# Where each lake sits between the inner and the outer bisector of its junction (0 inner, 1 outer):
# the lake between 8 and 9 moves towards 8, so 9 keeps a long border with 17.
LAKE_PLACE = {8: 0.9}
# How far from a lake a junction divider starts to bend towards a bisector, and over what length.
BEND_GAP, BEND_LENGTH = 2.0, 24.0

# The inner space each outer space touches.
INNER_OF_OUTER = [12, 12, 13, 13, 14, 14, 15, 16, 16, 17, 17, 17]

WIDTH, HEIGHT = 1024, 768
CENTRE = (500.0, 396.0)

# Places the coast must keep away from: the banner and food corner, the buttons, the ships' hulls
# and sails at their four places, the compass rose. (x0, y0, x1, y1), screen pixels.
SHIP_INK = (8, 32, 120, 102)  # ink box of the ship inside its 128x128 picture


def ship_boxes():
    """Screen boxes of the ship's ink at its four places (two are drawn mirrored)."""
    places = [(444, 10, True), (452, 628, False), (844, 354, False), (56, 354, True)]
    x0, y0, x1, y1 = SHIP_INK
    boxes = []
    for px, py, mirrored in places:
        if mirrored:
            boxes.append((px + 127 - x1, py + y0, px + 127 - x0, py + y1))
        else:
            boxes.append((px + x0, py + y0, px + x1, py + y1))
    return boxes


COMPASS = (880, 128, 64)  # centre x, centre y, radius of the compass rose
CARTOUCHE = (826, 612, 954, 680)  # the map's name and scale, in the sea at the bottom right
KEEP_CLEAR = [(0, 0, 272, 216), (0, 556, 240, 768)] + ship_boxes() + [
    (COMPASS[0] - COMPASS[2], COMPASS[1] - COMPASS[2], COMPASS[0] + COMPASS[2], COMPASS[1] + COMPASS[2]),
    CARTOUCHE]

# The extent (x0, x1, y0, y1) each outer region should keep close to; the coast is shaped by them.
OUTER_EXTENTS = [(408, 592, 110, 260), (572, 729, 136, 321), (639, 791, 242, 383), (676, 836, 347, 481),
                 (641, 812, 441, 656), (578, 718, 506, 661), (433, 602, 525, 663), (294, 468, 495, 652),
                 (217, 382, 430, 607), (183, 334, 349, 482), (177, 363, 215, 358), (279, 445, 123, 307)]
INK_BOUNDS = (160, 48, 959, 684)

ANGLES = 2880  # samples of the closed curves around the centre
RADII = np.arange(0.0, 480.0, 0.5)


def box_distance(px, py, space):
    """Distance from points to a space box (0 inside)."""
    x, y = BOXES[space]
    dx = np.maximum(np.maximum(x - px, 0), px - (x + BOX))
    dy = np.maximum(np.maximum(y - py, 0), py - (y + BOX))
    return np.hypot(dx, dy)


def set_distance(px, py, spaces):
    return np.min([box_distance(px, py, s) for s in spaces], axis=0)


def periodic_noise(rng, count, amplitude, lowest, highest, falloff=1.0):
    """Smooth noise over one turn, sampled at `count` angles."""
    t = np.linspace(0, 2 * math.pi, count, endpoint=False)
    out = np.zeros(count)
    for k in range(lowest, highest + 1):
        out += rng.normal() / k ** falloff * np.sin(k * t + rng.uniform(0, 2 * math.pi))
    return out * amplitude / max(1e-9, np.abs(out).max())


def line_noise(rng, count, amplitude, wavelength):
    """Smooth noise along a line of `count` samples."""
    t = np.arange(count, dtype=float)
    out = np.zeros(count)
    for octave in range(4):
        k = 2 * math.pi * (2 ** octave) / wavelength
        out += rng.normal() / (2 ** octave) * np.sin(k * t + rng.uniform(0, 2 * math.pi))
    return out * amplitude / max(1e-9, np.abs(out).max())


def ray_exit(origin, theta, extent):
    """Distance from origin along the ray at theta to where it leaves the box (x0, x1, y0, y1)."""
    x0, x1, y0, y1 = extent
    dx, dy = math.cos(theta), math.sin(theta)
    exits = []
    if abs(dx) > 1e-9:
        exits.append(((x1 if dx > 0 else x0) - origin[0]) / dx)
    if abs(dy) > 1e-9:
        exits.append(((y1 if dy > 0 else y0) - origin[1]) / dy)
    return max(0.0, min(exits))


def smoothstep(x):
    x = np.clip(x, 0, 1)
    return x * x * (3 - 2 * x)


def softplus(x, k):
    """A smooth max(x, 0) that bends over about k pixels."""
    return k * np.logaddexp(0, x / k)


def smooth_periodic(values, width):
    kernel = np.ones(width) / width
    padded = np.concatenate([values[-width:], values, values[:width]])
    return np.convolve(padded, kernel, mode="same")[width:-width]


class Regions:
    """The region curves and the raster labelling derived from them."""

    def __init__(self, seed=1847):
        rng = np.random.default_rng(seed)
        self.theta = np.linspace(-math.pi, math.pi, ANGLES, endpoint=False)
        self.ref = math.atan2(BOXES[0][1] + 32 - CENTRE[1], BOXES[0][0] + 32 - CENTRE[0])
        self.r_centre = self._ray_bisector([CENTRE_SPACE], INNER, 0.0) + periodic_noise(rng, ANGLES, 1.2, 5, 30)
        self.r_ring = self._ray_bisector(INNER, OUTER, self.r_centre + 5) + periodic_noise(rng, ANGLES, 2.0, 6, 40)
        self.junctions = [k for k in OUTER if INNER_OF_OUTER[k] != INNER_OF_OUTER[(k + 1) % 12]]
        self.outer_dividers = [self._outer_divider(k, rng) for k in OUTER]
        self._even_out_centre()
        self._round_ring_at_lakes()
        self.r_coast = self._coast(rng)
        self.lakes = self._lakes(rng)

    # ---- curves -------------------------------------------------------------------------
    def _points(self, r, theta):
        return CENTRE[0] + r * np.cos(theta), CENTRE[1] + r * np.sin(theta)

    def _ray_bisector(self, near, far, start):
        """Per angle, the radius where a ray leaves the boxes `near` for the boxes `far`."""
        radii = np.arange(0.0, 420.0, 0.25)
        result = np.zeros(ANGLES)
        for i, t in enumerate(self.theta):
            px, py = self._points(radii, t)
            diff = set_distance(px, py, near) - set_distance(px, py, far)
            start_r = start if np.isscalar(start) else start[i]
            candidates = np.nonzero((diff > 0) & (radii > start_r))[0]
            result[i] = radii[candidates[0]] if len(candidates) else radii[-1]
        return result

    def _circle_bisector(self, a, b, radii):
        """Angles between the boxes a and b on circles of the given radii, unwrapped from `ref`."""
        ta = self._angle_of(a)
        tb = self._angle_of(b)
        if tb < ta:
            tb += 2 * math.pi
        lo = np.full(len(radii), ta)
        hi = np.full(len(radii), tb)
        for _ in range(40):
            mid = 0.5 * (lo + hi)
            px, py = self._points(radii, mid)
            nearer_a = box_distance(px, py, a) < box_distance(px, py, b)
            lo = np.where(nearer_a, mid, lo)
            hi = np.where(nearer_a, hi, mid)
        return 0.5 * (lo + hi)

    def _angle_of(self, space):
        x, y = BOXES[space]
        t = math.atan2(y + 32 - CENTRE[1], x + 32 - CENTRE[0])
        return self.ref + (t - self.ref) % (2 * math.pi)

    def _outer_divider(self, k, rng):
        """Angle by radius of the border after outer space k (between k and k + 1)."""
        nxt = (k + 1) % 12
        outer = self._circle_bisector(k, nxt, RADII)
        inner_a, inner_b = INNER_OF_OUTER[k], INNER_OF_OUTER[nxt]
        if inner_a != inner_b:
            inner = self._circle_bisector(inner_a, inner_b, RADII)
            ring = float(self.ring_radius(self.r_ring, outer[int(170 / 0.5)]))
            # Straight across the inner/outer curve, between the two bisectors (half way unless
            # LAKE_PLACE says otherwise), so the lake there parts the four regions evenly; it bends
            # to each bisector away from the lake.
            i = int(ring / 0.5)
            middle = inner[i] + (outer[i] - inner[i]) * LAKE_PLACE.get(k, 0.5)
            before = smoothstep((RADII - (ring - LAKE_RADIUS - BEND_GAP - BEND_LENGTH)) / BEND_LENGTH)
            after = smoothstep((RADII - (ring + LAKE_RADIUS + BEND_GAP)) / BEND_LENGTH)
            outer = inner + (middle - inner) * before + (outer - middle) * after
        wobble = line_noise(rng, len(RADII), 2.2, 180) / np.maximum(RADII, 40)
        return outer + wobble

    def _crossing(self, divider, curve):
        """Index into RADII where a divider crosses a closed curve."""
        return int(np.nonzero(RADII >= self.ring_radius(curve, divider))[0][0])

    def _even_out_centre(self, share=0.4, fade=(5.0, 40.0)):
        """Near the centre the bisectors leave the diagonal inner spaces (13, 14) only a short
        border with it; turn the junction dividers there towards equal sixths of the turn."""
        angles = np.array([self.outer_dividers[k][self._crossing(self.outer_dividers[k], self.r_centre)]
                           for k in self.junctions])
        sixths = 2 * math.pi / 6 * np.arange(6)
        even = np.mean(angles - sixths) + sixths
        for k, shift in zip(self.junctions, share * (even - angles)):
            d = self.outer_dividers[k]
            start = RADII[self._crossing(d, self.r_centre)]
            self.outer_dividers[k] = d + shift * smoothstep((start + fade[1] - RADII) / (fade[1] - fade[0]))

    def _round_ring_at_lakes(self, flat=0.1, reach=0.3):
        """Makes the inner/outer curve a circle arc where a junction divider crosses it, so the
        two cross square and the lake there parts all four regions alike."""
        for k in self.junctions:
            d = self.outer_dividers[k]
            i = self._crossing(d, self.r_ring)
            angle = math.atan2(math.sin(d[i]), math.cos(d[i]))
            off = np.abs((self.theta - angle + math.pi) % (2 * math.pi) - math.pi)
            w = smoothstep((reach - off) / (reach - flat))
            self.r_ring = self.r_ring * (1 - w) + RADII[i] * w

    def ring_radius(self, curve, theta):
        """Radius of a closed curve at the given angles (any branch)."""
        t = np.asarray(theta)
        idx = ((t + math.pi) / (2 * math.pi) * ANGLES) % ANGLES
        i0 = np.floor(idx).astype(int) % ANGLES
        f = idx - np.floor(idx)
        return curve[i0] * (1 - f) + curve[(i0 + 1) % ANGLES] * f

    def _coast(self, rng):
        """Coastline radius per angle: close to where each outer region's extent ends, rounded,
        with bays and capes, kept outside the outer boxes and inside the places that stay sea."""
        target = np.zeros(ANGLES)
        tu = self.ref + (self.theta - self.ref) % (2 * math.pi)
        sector = np.zeros(ANGLES, int)
        for d in self.outer_dividers:
            sector += tu >= d[int(260 / 0.5)]
        sector %= 12
        # Half the way between an oval and the extents' edges: close to the extents, never boxy.
        a, b, cx, cy = 332.0, 282.0, 506.0, 388.0
        for i, t in enumerate(self.theta):
            dx, dy = math.cos(t), math.sin(t)
            ox, oy = CENTRE[0] - cx, CENTRE[1] - cy
            qa = (dx / a) ** 2 + (dy / b) ** 2
            qb = 2 * (ox * dx / a ** 2 + oy * dy / b ** 2)
            qc = (ox / a) ** 2 + (oy / b) ** 2 - 1
            oval = (-qb + math.sqrt(qb * qb - 4 * qa * qc)) / (2 * qa)
            target[i] = 0.5 * oval + 0.5 * 0.97 * ray_exit(CENTRE, t, OUTER_EXTENTS[sector[i]])
        target = smooth_periodic(smooth_periodic(target, 41), 41)
        target += periodic_noise(rng, ANGLES, 20.0, 3, 70, 0.85)
        low, high = self._coast_limits()
        # The marks push the coast back by a varying margin, so no stretch runs straight along them;
        # where the land is narrow the coast keeps to the middle of what room there is.
        margin = 6 + 14 * (0.5 + 0.5 * periodic_noise(rng, ANGLES, 1.0, 9, 45))
        soft_high = np.maximum(high - margin, low + 0.5 * (high - low))
        r = soft_high - softplus(soft_high - target, 7.0)
        r = low + softplus(r - low, 5.0)
        r = smooth_periodic(r, 5)
        r += periodic_noise(rng, ANGLES, 5.0, 25, 100, 0.6) + periodic_noise(rng, ANGLES, 2.0, 100, 320, 0.5)
        return np.clip(r, low, high)

    def _coast_limits(self):
        radii = np.arange(0.0, 520.0, 0.5)
        low = np.zeros(ANGLES)
        high = np.zeros(ANGLES)
        for i, t in enumerate(self.theta):
            px, py = self._points(radii, t)
            inside = np.zeros(len(radii), bool)
            for s in OUTER:
                x, y = BOXES[s]
                inside |= (px >= x - 16) & (px <= x + BOX + 16) & (py >= y - 10) & (py <= y + BOX + 10)
            ring = self.r_ring[i] + 22
            low[i] = max(ring, radii[np.nonzero(inside)[0][-1]] if inside.any() else 0)
            blocked = np.zeros(len(radii), bool)
            for x0, y0, x1, y1 in KEEP_CLEAR:
                blocked |= (px >= x0 - 8) & (px <= x1 + 8) & (py >= y0 - 8) & (py <= y1 + 8)
            x0, y0, x1, y1 = INK_BOUNDS
            blocked |= (px < x0 + 8) | (px > x1 - 8) | (py < y0 + 8) | (py > y1 - 8)
            high[i] = radii[np.nonzero(blocked)[0][0]] if blocked.any() else radii[-1]
        if np.any(low > high):
            raise RuntimeError("the coast cannot clear both the spaces and the sea marks")
        return low, high

    # ---- raster -------------------------------------------------------------------------
    def label(self, px, py):
        """Region index (0-18) or SEA for every point."""
        dx, dy = px - CENTRE[0], py - CENTRE[1]
        r = np.hypot(dx, dy)
        t = np.arctan2(dy, dx)
        tu = self.ref + (t - self.ref) % (2 * math.pi)
        out = np.full(r.shape, SEA, np.uint8)
        ra = self.ring_radius(self.r_centre, t)
        rb = self.ring_radius(self.r_ring, t)
        rc = self.ring_radius(self.r_coast, t)
        dividers = [np.interp(r, RADII, d) for d in self.outer_dividers]
        outer_sector = np.zeros(r.shape, int)
        for d in dividers:
            outer_sector += (tu >= d)
        outer_sector %= 12
        inner_sector = np.zeros(r.shape, int)
        for k in self.junctions:
            inner_sector += (tu >= dividers[k])
        # Sector 0 of the inner ring lies before the first junction (space 12 holds it).
        inner_index = np.array([INNER_OF_OUTER[0]] + [INNER_OF_OUTER[(k + 1) % 12] for k in self.junctions])
        land = r < rc
        out[land] = np.array(OUTER, np.uint8)[outer_sector[land]]
        ring = r < rb
        out[ring] = inner_index[inner_sector[ring]]
        out[r < ra] = CENTRE_SPACE
        for cx, cy, radius in self.lakes:
            out[self.lake_radius(radius, np.arctan2(py - cy, px - cx)) > np.hypot(px - cx, py - cy)] = LAKE
        return out

    @staticmethod
    def lake_radius(radius, theta):
        """Radius of a lake's shore at the given angles: a circle with a small wobble."""
        return radius[0] + radius[1] * np.sin(2 * theta + radius[2]) + radius[3] * np.sin(3 * theta + radius[4])

    def _lakes(self, rng):
        """A lake where each junction divider crosses the inner/outer curve: (x, y, shore)."""
        lakes = []
        for k in self.junctions:
            d = self.outer_dividers[k]
            i = self._crossing(d, self.r_ring)
            x, y = self._points(RADII[i], d[i])
            shore = (LAKE_RADIUS, rng.uniform(0.4, 1.0), rng.uniform(0, 2 * math.pi), rng.uniform(0.3, 0.7),
                     rng.uniform(0, 2 * math.pi))
            lakes.append((float(x), float(y), shore))
        return lakes

    def lake_outline(self, lake):
        cx, cy, radius = lake
        t = np.linspace(0, 2 * math.pi, 120, endpoint=False)
        r = self.lake_radius(radius, t)
        return list(zip(cx + r * np.cos(t), cy + r * np.sin(t)))

    def raster(self, scale=1):
        """Label map sampled at pixel centres, `scale` samples per pixel side."""
        ys, xs = np.mgrid[0:HEIGHT * scale, 0:WIDTH * scale]
        return self.label((xs + 0.5) / scale, (ys + 0.5) / scale)

    # ---- polylines for the ink ------------------------------------------------------------
    def closed_curve(self, curve):
        x, y = self._points(curve, self.theta)
        return list(zip(x, y))

    def divider_polyline(self, k):
        """Points of the divider after outer space k, from where it leaves the inner curve it
        starts on (centre curve for junctions, ring curve otherwise) to the coast."""
        d = self.outer_dividers[k]
        x, y = self._points(RADII, d)
        t = d
        start_curve = self.r_centre if k in self.junctions else self.r_ring
        r0 = self.ring_radius(start_curve, t)
        rc = self.ring_radius(self.r_coast, t)
        keep = (RADII >= r0 - 1.5) & (RADII <= rc + 1.5)
        return list(zip(x[keep], y[keep]))


def check(labels, margin=3):
    """Verifies the board's topology on a label map; returns a list of faults."""
    faults = []
    for s, (x, y) in enumerate(BOXES):
        patch = labels[y - margin:y + BOX + margin, x - margin:x + BOX + margin]
        if np.any(patch != s):
            faults.append("space %d: box not %dpx inside its region" % (s, margin))
    contact = np.zeros((256, 256), int)
    np.add.at(contact, (labels[:, :-1].ravel(), labels[:, 1:].ravel()), 1)
    np.add.at(contact, (labels[:-1, :].ravel(), labels[1:, :].ravel()), 1)
    contact = contact + contact.T
    for a in range(19):
        for b in range(a + 1, 19):
            touching = contact[a, b]
            if b in NEIGHBOURS[a] and touching < 20:
                faults.append("spaces %d and %d share only %d pixel edges" % (a, b, touching))
            if b not in NEIGHBOURS[a] and touching:
                faults.append("spaces %d and %d touch but are not neighbours" % (a, b))
    if contact[CENTRE_SPACE, SEA] or any(contact[s, SEA] for s in INNER):
        faults.append("an inner region reaches the sea")
    return faults
