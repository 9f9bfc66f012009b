#!/usr/bin/env python3
"""Draws setup's pictures from shapes: side.bmp (the wizard pages' side picture, 24-bit, 128 x 240:
a keyboard tilted over an installation disc on a deep blue ground) and setup.ico (an installer
box with a keyboard on its front, 16x16 and 32x32 in 16 colours and in 32-bit colour). Each pixel
averages a 4 x 4 grid of samples, which keeps the edges smooth.
Run it again after changing the shapes: python3 make_pictures.py"""
import math
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools'))
from icon_file import write_icon  # noqa: E402

SAMPLES = 4


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def inside_polygon(x, y, pts):
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def side_colour(x, y, w, h):
    # Ground: deep blue at the top to teal at the bottom, with a faint diagonal sheen.
    t = y / h
    c = mix((10, 30, 90), (0, 120, 130), t)
    sheen = max(0.0, 1.0 - abs((x - w * 0.2) - (y - h * 0.1) * 0.5) / 40.0) * 0.12
    c = mix(c, (255, 255, 255), sheen)
    # The disc: silver rings around a hole, lower half of the picture.
    cx, cy, r = w * 0.58, h * 0.74, w * 0.42
    d = math.hypot(x - cx, y - cy)
    if d <= r:
        if d < r * 0.12:
            pass  # the hole shows the ground
        elif d < r * 0.30:
            c = (150, 156, 168)
        else:
            angle = math.atan2(y - cy, x - cx)
            glint = 0.5 + 0.5 * math.cos(2 * angle)
            c = mix((178, 184, 196), (236, 240, 248), glint)
            c = mix(c, (120, 170, 230), 0.25 * (1 - glint) * (d / r))
        if abs(d - r) < 1.2:
            c = (90, 96, 110)
    # The keyboard: a tilted slab with rows of keys, above the disc.
    top = [(w * 0.08, h * 0.34), (w * 0.80, h * 0.22), (w * 0.94, h * 0.44), (w * 0.20, h * 0.57)]
    if inside_polygon(x, y, top):
        # Coordinates along the slab: u across, v down.
        ax, ay = top[0]
        ux, uy = top[1][0] - ax, top[1][1] - ay
        vx, vy = top[3][0] - ax, top[3][1] - ay
        det = ux * vy - uy * vx
        u = ((x - ax) * vy - (y - ay) * vx) / det
        v = ((y - ay) * ux - (x - ax) * uy) / det
        c = (58, 60, 68)
        if 0.04 < u < 0.96 and 0.06 < v < 0.94:
            c = (44, 46, 52)
            if v < 0.2:  # the multimedia keys
                if (u * 9) % 1 < 0.7 and 0.08 < v < 0.17:
                    c = (0, 140, 230)
            else:
                row = int((v - 0.22) / 0.18)
                fv = ((v - 0.22) / 0.18) % 1
                offset = 0.3 * (row % 2)
                fu = (u * 12 + offset) % 1
                if row == 3:
                    if 0.25 < u < 0.75 and fv < 0.72:
                        c = (232, 234, 240)
                elif fv < 0.72 and fu < 0.78:
                    c = mix((236, 238, 244), (196, 200, 210), fv)
    side = [top[3], top[2], (top[2][0], top[2][1] + 5), (top[3][0], top[3][1] + 5)]
    if inside_polygon(x, y, side):
        c = (30, 32, 38)
    return c


def render(w, h, colour):
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES, w, h)
                    if c is None:
                        continue
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
                    acc[3] += 1
            n = SAMPLES * SAMPLES
            if acc[3] * 2 < n:
                row.append(None)
            else:
                row.append(tuple(int(round(v / acc[3])) for v in acc[:3]))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = b''
    for row in reversed(rows):
        line = b''.join(struct.pack('<BBB', c[2], c[1], c[0]) for c in row)
        data += line + b'\0' * (stride - len(line))
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def icon_colour(x, y, w, h):
    s = w / 32.0
    x, y = x / s, y / s
    # An open box seen from the front-left: front face, side face, lid.
    front = [(3, 12), (21, 15), (21, 30), (3, 27)]
    side = [(21, 15), (29, 11), (29, 25), (21, 30)]
    lid = [(3, 12), (12, 6), (29, 11), (21, 15)]
    if inside_polygon(x, y, lid):
        return (238, 208, 140)
    if inside_polygon(x, y, side):
        return (176, 128, 60)
    if inside_polygon(x, y, front):
        # A keyboard printed on the front.
        if 6 <= x <= 18 and 18.5 <= y - (x - 3) * 3 / 18 <= 24.5:
            v = y - (x - 3) * 3 / 18
            if 19.5 <= v <= 23.5 and (x % 2) < 1.3 and 7 <= x <= 17:
                return (250, 250, 250)
            return (40, 44, 60)
        return (214, 166, 88)
    # A disc rising out of the box.
    d = math.hypot(x - 16, y - 7)
    if d <= 6.5:
        return (80, 90, 110) if d < 1.5 else (200, 214, 236)
    return None


def write_ico(path):
    pictures = []
    for n, bpp in [(16, 4), (32, 4), (16, 32), (32, 32)]:
        rows = render(n, n, icon_colour)
        px = [[(c[0], c[1], c[2], 1.0) if c else (0, 0, 0, 0.0) for c in row] for row in rows]
        pictures.append((n, bpp, px))
    write_icon(path, pictures)


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, 'side.bmp'), render(128, 240, side_colour))
    write_ico(os.path.join(here, 'setup.ico'))
