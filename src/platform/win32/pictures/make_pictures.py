#!/usr/bin/env python3
"""Draws the installer window's three decorative icons (32 x 32, 32-bit with
alpha) and writes them beside this script. Run it again after changing a
drawing; the .ico files are what the build uses."""
import math
import os
import struct

SIZE = 32


def ico(pixels):
    """pixels: SIZE*SIZE (r, g, b, a) rows from the top."""
    xor = b''
    for y in range(SIZE - 1, -1, -1):
        for x in range(SIZE):
            r, g, b, a = pixels[y * SIZE + x]
            xor += bytes((b, g, r, a))
    mask = b''
    for y in range(SIZE - 1, -1, -1):
        row = 0
        for x in range(SIZE):
            if pixels[y * SIZE + x][3] == 0:
                row |= 1 << (31 - x)
        mask += struct.pack('>I', row)
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    image = header + xor + mask
    return (struct.pack('<HHH', 0, 1, 1) +
            struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image)


def draw(shade):
    return [shade(x + 0.5, y + 0.5) for y in range(SIZE) for x in range(SIZE)]


def menu_card(x, y):
    # A rounded card with three menu lines.
    inside = 3 <= x <= 29 and 4 <= y <= 28
    corner = min(abs(x - 3), abs(x - 29)) < 3 and min(abs(y - 4), abs(y - 28)) < 3
    if not inside:
        return (0, 0, 0, 0)
    if corner:
        cx = 6 if x < 16 else 26
        cy = 7 if y < 16 else 25
        if math.hypot(x - cx, y - cy) > 3.2:
            return (0, 0, 0, 0)
    edge = x < 4.5 or x > 27.5 or y < 5.5 or y > 26.5
    if edge:
        return (32, 103, 208, 255)
    for top in (10, 15, 20):
        if top <= y < top + 2.5 and 8 <= x <= 24:
            return (32, 103, 208, 255)
    return (240, 246, 255, 255)


def ribbon(x, y):
    # A green tick on a light disc.
    d = math.hypot(x - 16, y - 16)
    if d > 14:
        return (0, 0, 0, 0)
    def near(ax, ay, bx, by):
        t = max(0, min(1, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) /
                       ((bx - ax) ** 2 + (by - ay) ** 2)))
        return math.hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay)))
    if min(near(8, 16, 14, 22), near(14, 22, 24, 10)) < 2.6:
        return (0, 150, 60, 255)
    if d > 12.5:
        return (0, 110, 50, 255)
    return (225, 248, 230, 255)


def star(x, y):
    # An orange five-pointed star.
    angle = math.atan2(y - 16.5, x - 16)
    d = math.hypot(x - 16, y - 16.5)
    k = (angle + math.pi / 2) % (2 * math.pi / 5) / (2 * math.pi / 5)
    limit = 6 + 8.5 * abs(1 - 2 * k) ** 1.6
    if d > limit:
        return (0, 0, 0, 0)
    if d > limit - 1.6:
        return (170, 80, 0, 255)
    return (250, 170, 30, 255)


here = os.path.dirname(os.path.abspath(__file__))
for name, shade in (('image1.ico', menu_card), ('picture1.ico', ribbon), ('picture2.ico', star)):
    with open(os.path.join(here, name), 'wb') as f:
        f.write(ico(draw(shade)))
