#!/usr/bin/env python3
"""Draws the display's two 60 x 60 one-bit pictures: speaker.bmp (a speaker with sound waves) and
speaker_muted.bmp (the same speaker crossed out). Black pixels form the symbol. Each pixel is
black when at least half of a 4 x 4 grid of samples inside it falls on the shape, which keeps the
edges of the curves even. Run it again after changing the shapes: python3 make_bitmaps.py"""
import math
import os
import struct

SIZE = 60
SAMPLES = 4


def in_speaker(x, y):
    # The magnet: a rounded-off box on the left.
    if 7 <= x <= 19 and 22 <= y <= 38:
        return True
    # The cone: widens from the magnet to the mouth.
    if 19 <= x <= 33:
        t = (x - 19) / 14.0
        half = 8 + t * 14
        return abs(y - 30) <= half
    return False


def in_waves(x, y):
    cx, cy = 31.0, 30.0
    r = math.hypot(x - cx, y - cy)
    if x <= cx:
        return False
    angle = abs(math.degrees(math.atan2(y - cy, x - cx)))
    if angle > 50:
        return False
    return any(abs(r - radius) <= 2.0 for radius in (10.0, 17.5, 25.0))


def distance_to_slash(x, y):
    # The slash runs from the top left to the bottom right corner.
    ax, ay, bx, by = 5.0, 5.0, 55.0, 55.0
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def plain(x, y):
    return in_speaker(x, y) or in_waves(x, y)


def crossed(x, y):
    d = distance_to_slash(x, y)
    if d <= 2.6:
        return True
    if d <= 5.0:
        return False  # a clear gap each side keeps the slash readable
    return plain(x, y)


def render(shape):
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    if shape(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES):
                        hits += 1
            row.append(hits * 2 >= SAMPLES * SAMPLES)
        rows.append(row)
    return rows


def write_bmp(path, rows):
    stride = ((SIZE + 31) // 32) * 4
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(stride)
        for x, black in enumerate(row):
            if not black:
                line[x >> 3] |= 0x80 >> (x & 7)  # colour 1 is white
        data += line
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    with open(path, 'wb') as f:
        f.write(header + info + palette + bytes(data))


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, 'speaker.bmp'), render(plain))
write_bmp(os.path.join(here, 'speaker_muted.bmp'), render(crossed))
