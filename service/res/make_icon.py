#!/usr/bin/env python3
"""Draws the service's keyboard icon (16x16 and 32x32, in 16 colours and in 32-bit colour)."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools'))
from icon_file import write_icon  # noqa: E402

OUTLINE, BODY, LIGHT, KEY, SHADOW, ACCENT, LED = (48, 48, 52), (168, 170, 176), (214, 216, 222), \
    (250, 250, 250), (112, 114, 120), (0, 84, 196), (0, 200, 0)


def keyboard(n):
    """Returns rows of (r, g, b, a) for an n x n picture of a keyboard seen from the front."""
    px = [[None] * n for _ in range(n)]
    if n == 32:
        top, bottom, left, right = 8, 25, 1, 30
    else:
        top, bottom, left, right = 3, 12, 0, 15
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            corner = (y in (top, bottom)) and (x in (left, right))
            if corner:
                continue
            edge = y in (top, bottom) or x in (left, right)
            px[y][x] = OUTLINE if edge else (LIGHT if y == top + 1 else BODY)
    if n == 32:
        # Multimedia keys along the top, then three rows of keys and the space bar.
        for i, x in enumerate(range(4, 28, 4)):
            for dx in range(2):
                px[11][x + dx] = ACCENT
        px[11][27] = LED
        rows = [(14, 3, 28, 3), (17, 4, 28, 3), (20, 3, 28, 3)]
        for y, x0, x1, step in rows:
            for x in range(x0, x1 - 1, step):
                for dx in range(2):
                    px[y][x + dx] = KEY
                    px[y + 1][x + dx] = SHADOW
        for x in range(9, 23):
            px[23][x] = KEY
        for x in range(9, 23):
            px[24][x] = SHADOW if px[24][x] else px[24][x]
    else:
        for x in range(2, 13, 2):
            px[5][x] = ACCENT
        px[5][13] = LED
        for y in (7, 9):
            for x in range(2, 14, 2):
                px[y][x] = KEY
        for x in range(4, 12):
            px[11][x] = KEY
    return px


def main(path):
    def rgba(px):
        return [[(c[0], c[1], c[2], 1.0) if c else (0, 0, 0, 0.0) for c in row] for row in px]
    write_icon(path, [(n, bpp, rgba(keyboard(n))) for n, bpp in ((16, 4), (32, 4), (16, 32), (32, 32))])


if __name__ == '__main__':
    main(sys.argv[1])
