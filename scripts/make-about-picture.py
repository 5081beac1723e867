#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the about box's picture: an old black-and-white photograph of a cottage by a
# lake, with its left half hand-coloured the way Tintwell colours (each colour keeps
# the grey tone of the photograph as its lightness) and a soft brush edge where the
# colouring stops. Writes a 306 x 322 binary PPM to standard output; the picture is
# kept as JPEG:
#   scripts/make-about-picture.py | cjpeg -quality 88 -optimize > src/app/dialogs/about.jpg
# Only the Python standard library is used; the random numbers are seeded, so the
# output is the same on every run.
import colorsys
import math
import random
import sys

W, H = 306, 322
BORDER = 9  # the photo paper's white margin
rng = random.Random(1937)


def lattice(n):
    return [[rng.random() for _ in range(n + 2)] for _ in range(n + 2)]


LATTICES = [lattice(64) for _ in range(4)]


def value_noise(table, x, y):
    xi, yi = int(x), int(y)
    fx, fy = x - xi, y - yi
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    xi, yi = xi % 64, yi % 64
    a = table[yi][xi] + (table[yi][xi + 1] - table[yi][xi]) * fx
    b = table[yi + 1][xi] + (table[yi + 1][xi + 1] - table[yi + 1][xi]) * fx
    return a + (b - a) * fy


def fbm(x, y, octaves=4, which=0):
    total, amp, norm = 0.0, 1.0, 0.0
    for o in range(octaves):
        total += amp * value_noise(LATTICES[(which + o) % 4], x, y)
        norm += amp
        amp *= 0.5
        x, y = x * 2.03 + 17.1, y * 2.03 + 5.7
    return total / norm


def smooth(edge0, edge1, v):
    t = min(1.0, max(0.0, (v - edge0) / (edge1 - edge0)))
    return t * t * (3 - 2 * t)


HORIZON = 204  # the far shore of the lake
SHORE = 236    # where the meadow begins


def far_ridge(x):
    return 128 + 14 * math.sin(x / 41.0 + 1.3) + 9 * math.sin(x / 17.0) + 10 * fbm(x / 30.0, 3.0, 3, 1)


def near_ridge(x):
    return 166 + 10 * math.sin(x / 57.0 + 0.4) - 8 * math.sin(x / 23.0 + 2.0) + 6 * fbm(x / 20.0, 9.0, 3, 2)


# The cottage: walls, a pitched roof, a chimney, two windows and a door.
WALL = (118, 204, 196, 252)  # left, top, right, bottom
ROOF_APEX = (157, 168)
CHIMNEY = (176, 172, 184, 192)
WINDOWS = [(128, 215, 142, 229), (172, 215, 186, 229)]
DOOR = (151, 224, 163, 252)
TREE = (62, 140, 45, 40)  # canopy centre and radii
TRUNK = (58, 160, 67, 266)
TREE2 = (256, 192, 24, 22)
TRUNK2 = (253, 204, 259, 258)


def in_rect(r, x, y):
    return r[0] <= x < r[2] and r[1] <= y < r[3]


def roof(x, y):
    ax, ay = ROOF_APEX
    half = (WALL[2] - WALL[0]) / 2 + 8
    if y < ay or y >= WALL[1] + 2:
        return False
    return abs(x - ax) <= half * (y - ay) / (WALL[1] + 2 - ay)


def canopy(c, x, y):
    cx, cy, rx, ry = c
    d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
    return d + 0.55 * (fbm(x / 7.0, y / 7.0, 3, 3) - 0.5) < 1.0


def path(x, y):
    if y < DOOR[3] - 2:
        return False
    t = (y - DOOR[3]) / (H - DOOR[3])
    centre = 157 - 40 * t * t + 6 * math.sin(y / 9.0)
    return abs(x - centre) < 5 + 26 * t


def scene(x, y):
    """Grey value (0..1) and what the point shows, for a point of the photograph."""
    if in_rect(CHIMNEY, x, y):
        return 0.30 + 0.05 * fbm(x, y, 2, 1), 'chimney'
    if roof(x, y):
        stripes = 0.06 * math.sin(y * 1.4)
        return 0.24 + stripes + 0.08 * fbm(x / 3.0, y / 3.0, 2, 2), 'roof'
    if in_rect(WALL, x, y):
        for w in WINDOWS:
            if in_rect(w, x, y):
                bar = abs(x - (w[0] + w[2]) / 2) < 0.8 or abs(y - (w[1] + w[3]) / 2) < 0.8
                return (0.75 if bar else 0.13), 'window'
        if in_rect(DOOR, x, y):
            return 0.22 + 0.04 * math.sin(x * 2.1), 'door'
        shade = 0.80 if x < ROOF_APEX[0] + 22 else 0.70
        return shade + 0.07 * (fbm(x / 4.0, y / 4.0, 3, 0) - 0.5), 'wall'
    for c, t, kind in ((TREE, TRUNK, 'tree'), (TREE2, TRUNK2, 'tree')):
        if canopy(c, x, y):
            light = 0.42 - 0.16 * (y - c[1]) / c[3] - 0.10 * (x - c[0]) / c[2]
            return light + 0.22 * (fbm(x / 4.0, y / 4.0, 3, 1) - 0.5), kind
        if in_rect(t, x, y):
            return 0.20 + 0.08 * fbm(x / 2.0, y / 6.0, 2, 2), 'trunk'
    if y >= SHORE:
        if path(x, y):
            return 0.72 + 0.10 * (fbm(x / 3.0, y / 3.0, 3, 0) - 0.5), 'path'
        blades = 0.12 * (fbm(x / 1.3, y / 9.0, 3, 2) - 0.5)
        depth = (y - SHORE) / (H - SHORE)
        return 0.56 - 0.18 * depth + blades + 0.10 * (fbm(x / 25.0, y / 25.0, 3, 3) - 0.5), 'meadow'
    if y >= HORIZON:
        # The lake mirrors the sky and the shore, darker, broken by ripples.
        ripple = 2.5 * math.sin(y * 1.7 + x / 13.0)
        mirrored = 2 * HORIZON - y + ripple
        grey, _ = far_scene(x, min(HORIZON - 0.5, max(0.0, mirrored)))
        glint = 0.10 * max(0.0, math.sin(x / 5.0 + y * 2.3)) * fbm(x / 8.0, y, 2, 1)
        return 0.78 * grey + glint, 'lake'
    return far_scene(x, y)


def far_scene(x, y):
    """The hills and the sky behind everything, which the lake mirrors."""
    if y >= near_ridge(x):
        return 0.47 + 0.16 * (fbm(x / 9.0, y / 9.0, 4, 0) - 0.5) - 0.06 * (y - 166) / 40, 'hill'
    if y >= far_ridge(x):
        return 0.62 + 0.06 * (fbm(x / 14.0, y / 14.0, 3, 1) - 0.5), 'far hill'
    clouds = smooth(0.52, 0.78, fbm(x / 46.0 + 3.0, y / 18.0, 4, 2))
    sky = 0.58 + 0.28 * y / HORIZON
    return sky + (0.97 - sky) * 0.85 * clouds, 'sky' if clouds < 0.35 else 'cloud'


# Hue (degrees) and saturation a colourist would give each part.
COLOURS = {
    'sky': (208, 0.40), 'cloud': (210, 0.10), 'far hill': (190, 0.18), 'hill': (100, 0.28),
    'lake': (200, 0.32), 'meadow': (85, 0.36), 'path': (36, 0.30), 'wall': (42, 0.30),
    'roof': (6, 0.45), 'chimney': (14, 0.35), 'window': (220, 0.08), 'door': (150, 0.32),
    'tree': (108, 0.36), 'trunk': (25, 0.32),
}


def brush_edge(y):
    return 150 + 9 * math.sin(y / 23.0) + 5 * math.sin(y / 7.3 + 1.0)


def main():
    out = bytearray()
    for y in range(H):
        for x in range(W):
            inside = BORDER <= x < W - BORDER and BORDER <= y < H - BORDER
            if not inside:
                paper = 0.92 + 0.02 * fbm(x / 3.0, y / 3.0, 2, 3)
                v = int(round(255 * paper))
                out += bytes((v, v - 2, v - 6))  # yellowed photo paper
                continue
            # 2 x 2 samples per pixel soften the edges of the shapes.
            grey, kinds = 0.0, {}
            for sy in (0.25, 0.75):
                for sx in (0.25, 0.75):
                    g, kind = scene(x - BORDER + sx, y - BORDER + sy)
                    grey += g / 4
                    kinds[kind] = kinds.get(kind, 0) + 1
            kind = max(kinds, key=kinds.get)
            # Vignette, film grain and a gentle contrast curve of an old print.
            cx, cy = (x - W / 2) / (W / 2), (y - H / 2) / (H / 2)
            grey *= 1.0 - 0.22 * (cx * cx + cy * cy) ** 1.5
            grey += rng.gauss(0, 0.018)
            grey = min(1.0, max(0.0, grey))
            grey = 0.06 + 0.88 * (grey * grey * (3 - 2 * grey) * 0.5 + grey * 0.5)
            r = g = b = grey
            colour = smooth(-4.0, 4.0, brush_edge(y) - x)
            if colour > 0:
                hue, sat = COLOURS[kind]
                cr, cg, cb = colorsys.hls_to_rgb(hue / 360.0, grey, sat)
                r, g, b = (grey + (c - grey) * colour for c in (cr, cg, cb))
            out += bytes(int(round(255 * min(1.0, max(0.0, c)))) for c in (r, g, b))
    sys.stdout.buffer.write(b'P6\n%d %d\n255\n' % (W, H))
    sys.stdout.buffer.write(out)


if __name__ == '__main__':
    main()
