#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's small pictures into assets/images.

    assets/make-images.py [output folder]

The four suit pictures of the status bar ("1_p2".."4_p2": club, spade, heart, diamond)
are pixel art on a light grey ground that fills the whole square: the status bar treats
the colour of the bottom-left pixel as transparent, so the ground must reach that corner
and the symbol must use no other shade of it. They are drawn by hand at 16 x 16, where
a rasterised curve would come out lumpy, and from shapes at 32 x 32 for @2x screens,
with two colours only so the transparent key still works there.

The follow-suit warning (a yellow disc with a black exclamation mark, transparent outside
the disc) is smooth, so it is drawn from shapes with supersampling, at 40 and 80 pixels.

Only the standard library is used, so the pictures can be redrawn on any machine; the
PNG files in the repository are what the build compiles in.
"""

import math
import os
import struct
import sys
import zlib

GROUND = (0xC0, 0xC0, 0xC0, 255)
BLACK = (0, 0, 0, 255)
RED = (0xD0, 0x10, 0x10, 255)


def write_png(path, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    height = len(pixels)
    width = len(pixels[0])
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter type None
        for r, g, b, a in row:
            raw.extend((r, g, b, a))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# --- 16 x 16 pixel art: '#' is the suit's colour, '.' the grey ground ----------------

CLUB_16 = """
................
......####......
.....######.....
.....######.....
.....######.....
......####......
..###..##..###..
.#####.##.#####.
.##############.
.##############.
.#####.##.#####.
..###..##..###..
.......##.......
......####......
.....######.....
................
"""

SPADE_16 = """
................
.......##.......
......####......
.....######.....
....########....
...##########...
..############..
.##############.
.##############.
.##############.
..####.##.####..
...##..##..##...
.......##.......
......####......
.....######.....
................
"""

HEART_16 = """
................
................
................
..####....####..
.######..######.
.##############.
.##############.
.##############.
..############..
...##########...
....########....
.....######.....
......####......
.......##.......
................
................
"""

DIAMOND_16 = """
................
.......##.......
......####......
......####......
.....######.....
....########....
...##########...
..############..
..############..
...##########...
....########....
.....######.....
......####......
......####......
.......##.......
................
"""


def from_art(art, colour):
    rows = [line for line in art.strip("\n").split("\n")]
    assert len(rows) == 16 and all(len(r) == 16 for r in rows), "16 x 16 art expected"
    return [[colour if ch == "#" else GROUND for ch in row] for row in rows]


# --- shapes in a unit square (x right, y down) --------------------------------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            x1, y1 = points[i]
            x2, y2 = points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                xc = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
                if x < xc:
                    hit = not hit
        return hit
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def rounded_bar(x0, y0, x1, y1, r):
    """Axis-aligned rectangle with round corners of radius r."""
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


CLUB = union(circle(0.5, 0.29, 0.185), circle(0.285, 0.56, 0.185), circle(0.715, 0.56, 0.185),
             circle(0.5, 0.52, 0.12), polygon([(0.5, 0.45), (0.35, 0.92), (0.65, 0.92)]))
SPADE = union(circle(0.3, 0.56, 0.2), circle(0.7, 0.56, 0.2),
              polygon([(0.5, 0.06), (0.125, 0.5), (0.875, 0.5)]),
              polygon([(0.12, 0.55), (0.5, 0.12), (0.88, 0.55), (0.5, 0.7)]),
              polygon([(0.5, 0.55), (0.35, 0.93), (0.65, 0.93)]))
HEART = union(circle(0.3, 0.33, 0.21), circle(0.7, 0.33, 0.21),
              polygon([(0.095, 0.385), (0.5, 0.3), (0.905, 0.385), (0.5, 0.9)]))
DIAMOND = lambda x, y: abs(x - 0.5) / 0.36 + abs(y - 0.5) / 0.45 <= 1.0


def two_colour(shape, colour, size):
    """Coverage of each pixel by 4 x 4 samples; half or more covered takes the colour."""
    pixels = []
    n = 4
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    hits += shape(x, y)
            row.append(colour if hits * 2 >= n * n else GROUND)
        pixels.append(row)
    # The transparent key is the bottom-left pixel: it must stay ground.
    assert pixels[size - 1][0] == GROUND
    return pixels


def warning(size):
    """Yellow disc with a dark rim and a black exclamation mark; transparent outside."""
    yellow = (0xFF, 0xD2, 0x1F)
    rim = (0x8A, 0x6A, 0x00)
    black = (0x10, 0x10, 0x10)
    disc = circle(0.5, 0.5, 0.49)
    inner = circle(0.5, 0.5, 0.49 - 1.6 / 40)
    bar = polygon([(0.43, 0.17), (0.57, 0.17), (0.535, 0.63), (0.465, 0.63)])
    bar_top = rounded_bar(0.43, 0.15, 0.57, 0.3, 0.07)
    dot = circle(0.5, 0.77, 0.075)
    n = 6
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            alpha = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    if not disc(x, y):
                        continue
                    if bar(x, y) or bar_top(x, y) or dot(x, y):
                        c = black
                    elif inner(x, y):
                        c = yellow
                    else:
                        c = rim
                    alpha += 1
                    for i in range(3):
                        acc[i] += c[i]
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(v / alpha) for v in acc) + (round(255 * alpha / (n * n)),))
        pixels.append(row)
    return pixels


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "images")
    os.makedirs(out, exist_ok=True)
    suits = [
        ("1_p2", CLUB_16, CLUB, BLACK),
        ("2_p2", SPADE_16, SPADE, BLACK),
        ("3_p2", HEART_16, HEART, RED),
        ("4_p2", DIAMOND_16, DIAMOND, RED),
    ]
    for name, art, shape, colour in suits:
        write_png(os.path.join(out, name + ".png"), from_art(art, colour))
        write_png(os.path.join(out, name + "@2x.png"), two_colour(shape, colour, 32))
    write_png(os.path.join(out, "warning.png"), warning(40))
    write_png(os.path.join(out, "warning@2x.png"), warning(80))


if __name__ == "__main__":
    main()
