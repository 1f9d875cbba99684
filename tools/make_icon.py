#!/usr/bin/env python3
"""Draws the program's icon and writes it as an ICO file: one 64 x 64 image, 24 bits per pixel.

The file is a 6-byte header, one 16-byte directory entry (colour count, planes and bit count
0) and a 12,840-byte image: a 40-byte BITMAPINFOHEADER with the doubled height 128, 12,288
bytes of colour (bottom row first, blue-green-red) and a 512-byte AND mask (1 = transparent).

The picture: a round steel-blue badge with a light rim, a throwing star in gold on it and a
small green start triangle at its lower right: a game's settings and its start.
"""
import math
import struct
import sys

from generated import write_if_changed

SIZE = 64


def blend(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def inside_triangle(px, py, a, b, c):
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])

    d1 = side((px, py), a, b)
    d2 = side((px, py), b, c)
    d3 = side((px, py), c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def star_radius(angle):
    # Four points: long at 0, 90, 180 and 270 degrees, a waist between them.
    t = abs(math.cos(2 * angle))
    return 8 + 17 * t ** 3


def pixel(x, y):
    """Colour (r, g, b) or None for a transparent pixel; x, y from the top left."""
    cx, cy = 31.5, 31.5
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    play = [(40, 40), (40, 60), (58, 50)]
    if inside_triangle(x + 0.5, y + 0.5, *play):
        edge = min(abs(x - 40), abs(y - 40 - (x - 40) * 10 / 18) if x >= 40 else 99)
        return (30, 150, 60) if edge > 1 else (20, 90, 40)
    if r > 31.5:
        return None
    if r > 28.5:
        return (210, 220, 232)  # rim
    if r > 27.0:
        return (40, 60, 90)
    # badge: steel blue, lighter towards the top left
    shade = max(0.0, min(1.0, (dx + dy + 40) / 80))
    base = blend((90, 140, 200), (25, 45, 95), shade)
    angle = math.atan2(dy, dx) + math.pi / 4
    sr = star_radius(angle)
    if r < sr:
        if r < 4.5:
            return (60, 40, 10)  # the hole in the middle of the star
        light = 0.5 + 0.5 * math.cos(angle * 4 + 0.8)
        return blend((190, 140, 30), (255, 225, 110), light)
    if r < sr + 1.2:
        return (30, 25, 20)
    return base


def build_ico():
    rows = []
    mask_rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom row first
        row = bytearray()
        bits = 0
        mask = bytearray()
        for x in range(SIZE):
            c = pixel(x, y)
            if c is None:
                row += b'\0\0\0'
                bits = (bits << 1) | 1
            else:
                row += bytes((c[2], c[1], c[0]))
                bits <<= 1
            if x % 8 == 7:
                mask.append(bits)
                bits = 0
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    colour = b''.join(rows)
    masks = b''.join(mask_rows)
    assert len(colour) == 12288 and len(masks) == 512
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 24, 0, len(colour) + len(masks),
                         0, 0, 0, 0)
    image = header + colour + masks
    assert len(image) == 12840
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 0, 0, len(image), 6 + 16)
    return directory + entry + image


def main(dst):
    write_if_changed(dst, build_ico())


if __name__ == '__main__':
    main(sys.argv[1])
