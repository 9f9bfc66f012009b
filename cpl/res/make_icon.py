#!/usr/bin/env python3
"""Draws the Control Panel entry's icon: a multimedia keyboard seen from slightly above, with a
row of blue media keys and a green indicator. The picture is described as filled shapes (rounded
rectangles and circles in a 0..1 square, some with a vertical colour gradient) and rendered with
8 x 8 samples per pixel for smooth edges, at 16, 32 and 48 pixels in 32-bit colour with alpha and
at 16 and 32 pixels in the 16 standard colours.
    python3 make_icon.py applet.ico [preview.png]"""
import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools'))
from icon_file import write_icon  # noqa: E402

SAMPLES = 8


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return (x0, y0, x1, y1), inside


def circle(cx, cy, r):
    return (cx - r, cy - r, cx + r, cy + r), lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def gradient(top, bottom, y0, y1):
    def colour(y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


def solid(c):
    return lambda y: c


def key(x0, y0, x1, y1, r, face=(236, 238, 242), edge=(150, 154, 164)):
    """A key cap: a darker skirt below a light face."""
    return [(rounded_rect(x0, y0, x1, y1, r), solid(edge), 1.0),
            (rounded_rect(x0, y0, x1, y1 - (y1 - y0) * 0.28, r), gradient((255, 255, 255), face, y0, y1), 1.0)]


def keyboard(small):
    """The keyboard as a list of (shape, colour-by-y, opacity), painted in order."""
    shapes = []
    shapes.append((rounded_rect(0.05, 0.30, 0.97, 0.88, 0.09), solid((0, 0, 0)), 0.30))  # shadow
    shapes.append((rounded_rect(0.02, 0.20, 0.95, 0.84, 0.09),
                   gradient((96, 100, 112), (36, 38, 46), 0.20, 0.84), 1.0))  # case
    shapes.append((rounded_rect(0.05, 0.22, 0.92, 0.26, 0.02), solid((150, 156, 170)), 0.8))  # top highlight
    if small:
        for i in range(4):  # media keys
            x = 0.10 + i * 0.17
            shapes.append((rounded_rect(x, 0.28, x + 0.13, 0.39, 0.03), solid((40, 140, 255)), 1.0))
        shapes.append((circle(0.84, 0.335, 0.055), solid((60, 230, 90)), 1.0))
        for y in (0.45, 0.60):
            for i in range(4):
                x = 0.08 + i * 0.215
                shapes += key(x, y, x + 0.155, y + 0.105, 0.025)
        shapes += key(0.24, 0.735, 0.72, 0.815, 0.025)
        return shapes
    for i in range(6):  # media keys
        x = 0.09 + i * 0.11
        shapes.append((rounded_rect(x, 0.27, x + 0.085, 0.34, 0.02), gradient((120, 190, 255), (0, 96, 210), 0.27, 0.34), 1.0))
    shapes.append((circle(0.855, 0.305, 0.03), solid((30, 120, 40)), 1.0))
    shapes.append((circle(0.855, 0.305, 0.022), solid((90, 240, 110)), 1.0))
    rows = [(0.39, 0.07, 8, 0.090), (0.505, 0.10, 8, 0.090), (0.62, 0.07, 8, 0.090)]
    for y, x_start, count, width in rows:
        for i in range(count):
            x = x_start + i * (width + 0.012)
            if x + width > 0.91:
                break
            shapes += key(x, y, x + width, y + 0.095, 0.018)
    shapes += key(0.25, 0.735, 0.70, 0.815, 0.018)  # space bar
    shapes += key(0.07, 0.735, 0.23, 0.815, 0.018)
    shapes += key(0.72, 0.735, 0.89, 0.815, 0.018)
    return shapes


def render(n):
    """Rows of (r, g, b, a) floats in 0..1 alpha, colours 0..255, over a transparent ground."""
    px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(n)] for _ in range(n)]
    for (bounds, inside), colour, opacity in keyboard(n <= 16):
        x0, y0, x1, y1 = bounds
        for py in range(max(0, int(y0 * n) - 1), min(n, int(math.ceil(y1 * n)) + 1)):
            for qx in range(max(0, int(x0 * n) - 1), min(n, int(math.ceil(x1 * n)) + 1)):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside((qx + (sx + 0.5) / SAMPLES) / n, (py + (sy + 0.5) / SAMPLES) / n):
                            hits += 1
                if not hits:
                    continue
                a = opacity * hits / (SAMPLES * SAMPLES)
                c = colour((py + 0.5) / n)
                r, g, b, da = px[py][qx]
                out_a = a + da * (1 - a)
                mix = [(ci * a + di * da * (1 - a)) / out_a for ci, di in zip(c, (r, g, b))]
                px[py][qx] = (mix[0], mix[1], mix[2], out_a)
    return px


def write_png(path, px, scale):
    """A preview over a light grey ground, each pixel enlarged."""
    n = len(px)
    raw = b''
    for y in range(n * scale):
        raw += b'\0'
        for x in range(n * scale):
            r, g, b, a = px[y // scale][x // scale]
            ground = 220
            raw += bytes(round(c * a + ground * (1 - a)) for c in (r, g, b))
    chunk = lambda t, d: struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d))
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n * scale, n * scale, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b'')
    open(path, 'wb').write(png)


def main(path, preview=None):
    pictures = {n: render(n) for n in (16, 32, 48)}
    write_icon(path, [(n, bpp, pictures[n]) for n, bpp in ((16, 4), (32, 4), (16, 32), (32, 32), (48, 32))])
    if preview:
        write_png(preview, pictures[48], 8)
        write_png(preview.replace('.png', '32.png'), pictures[32], 8)
        write_png(preview.replace('.png', '16.png'), pictures[16], 8)


if __name__ == '__main__':
    main(*sys.argv[1:])
