#!/usr/bin/env python3
"""Draws the printed label's instruction picture (instructions.bmp, 582 x 732, 8-bit) from vector
shapes: where to cut the strip, how to fold it and where it goes on the keyboard. It carries no
words, only step numbers, so one version serves every language. The strip itself is printed over
the empty band at the top. Run it again after changing the drawing: python3 make_instructions.py"""
import math
import os

from raster import Canvas, vgrad, hgrad

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 582, 732
INK = (52, 56, 64)
ACCENT = (30, 111, 217)
ACCENT2 = (0, 170, 190)
GRAPHITE_TOP, GRAPHITE_BOTTOM = (78, 82, 90), (32, 34, 38)


def polyline(c, pts, width, paint):
    for a, b in zip(pts, pts[1:]):
        c.line(a[0], a[1], b[0], b[1], width, paint)


def arc_points(cx, cy, r, a0, a1, n=18):
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]


# Stroke digits on a 10 x 16 grid.
DIGITS = {
    1: [[(3, 3.5), (6.5, 0.5), (6.5, 16)], [(3, 16), (10, 16)]],
    2: [arc_points(5, 5, 4.5, 190, 380) + [(0.5, 16), (10, 16)]],
    3: [arc_points(5, 4.4, 4.2, 200, 450), arc_points(5, 11.5, 4.5, 270, 520)],
}


def step_number(c, x, y, n):
    c.ellipse(x, y, 17, 17, hgrad(x - 17, x + 17, ACCENT, ACCENT2))
    for stroke in DIGITS[n]:
        polyline(c, [(x - 5 + px, y - 8 + py) for px, py in stroke], 2.6, (255, 255, 255))


def dashed(c, x0, y0, x1, y1, width, paint, dash=7, gap=5):
    length = math.hypot(x1 - x0, y1 - y0)
    t = 0.0
    while t < length:
        e = min(t + dash, length)
        c.line(x0 + (x1 - x0) * t / length, y0 + (y1 - y0) * t / length,
               x0 + (x1 - x0) * e / length, y0 + (y1 - y0) * e / length, width, paint)
        t += dash + gap


def scissors(c, x, y, s=1.0, angle=0.0):
    """Open scissors with the blades pointing along angle (degrees), pivot at (x, y)."""
    def at(px, py):
        a = math.radians(angle)
        return (x + (px * math.cos(a) - py * math.sin(a)) * s, y + (px * math.sin(a) + py * math.cos(a)) * s)
    for side in (-1, 1):
        tip = at(26, side * 7)
        c.polygon([at(0, -2.5 * side), at(0, 2.5 * side), tip], (150, 156, 166))
        c.line(*at(0, 0), *tip, 1.2 * s, (90, 96, 106))
        ring_c = at(-13, -side * 8)
        c.line(*at(0, 0), *ring_c, 3 * s, INK)
        c.ring(ring_c[0], ring_c[1], 7 * s, 4 * s, INK)
    c.ellipse(*at(0, 0), 2 * s, 2 * s, (230, 230, 230))


def strip(c, x0, y0, x1, y1, folded=False):
    """A small printed strip: black, with seven label lines in its upper half and the fold line."""
    c.rect(x0, y0, x1, y1, (20, 20, 22))
    mid = (y0 + y1) / 2.0
    n = 7
    for k in range(n):
        a = x0 + 6 + (x1 - x0 - 12) * k / n
        c.rect(a + 2, y0 + 7, a + (x1 - x0 - 12) / n - 6, y0 + 10, (235, 235, 235))
        c.rect(a + 2, y0 + 14, a + (x1 - x0 - 12) / n - 12, y0 + 17, (235, 235, 235))
    if not folded:
        dashed(c, x0 + 2, mid, x1 - 2, mid, 1.2, (235, 235, 235), 5, 4)


def arrow(c, pts, paint, width=5):
    polyline(c, pts, width, paint)
    (ax, ay), (bx, by) = pts[-2], pts[-1]
    a = math.atan2(by - ay, bx - ax)
    head = [(bx + 10 * math.cos(a), by + 10 * math.sin(a)),
            (bx + 11 * math.cos(a + 2.3), by + 11 * math.sin(a + 2.3)),
            (bx + 11 * math.cos(a - 2.3), by + 11 * math.sin(a - 2.3))]
    c.polygon(head, paint)


def panel(c, y0, y1):
    c.round_rect(20, y0, W - 20, y1, 14, vgrad(y0, y1, (246, 248, 252), (232, 238, 246)))


def step_cut(c, y0):
    panel(c, y0, y0 + 190)
    step_number(c, 52, y0 + 34, 1)
    x0, x1, top, bottom = 110, 530, y0 + 55, y0 + 125
    strip(c, x0, top, x1, bottom)
    # The cutting line just outside the strip, with the scissors on it.
    for (ax, ay, bx, by) in ((x0 - 6, top - 6, x1 + 6, top - 6), (x1 + 6, top - 6, x1 + 6, bottom + 6),
                             (x1 + 6, bottom + 6, x0 - 6, bottom + 6), (x0 - 6, bottom + 6, x0 - 6, top - 6)):
        dashed(c, ax, ay, bx, by, 1.6, ACCENT)
    scissors(c, 98, top - 6, 1.0, 0)
    arrow(c, [(150, y0 + 160), (260, y0 + 160)], ACCENT, 4)


def step_fold(c, y0):
    panel(c, y0, y0 + 190)
    step_number(c, 52, y0 + 34, 2)
    x0, x1, top = 110, 330, y0 + 40
    strip(c, x0, top, x1, top + 70)
    # The same strip seen from the side: the lower half turns back behind the upper half.
    sx, sy = 420, y0 + 40
    c.rect(sx, sy, sx + 6, sy + 36, (20, 20, 22))
    c.ring(sx + 12, sy + 36, 12, 6, (20, 20, 22), arc=(0, 180))
    c.rect(sx + 18, sy + 8, sx + 24, sy + 36, (20, 20, 22))
    dashed(c, sx - 20, sy + 46, sx + 40, sy + 46, 1.4, ACCENT, 5, 4)
    arrow(c, arc_points(x1 - 10, top + 35, 52, 100, -30, 14), ACCENT, 4)
    # The folded strip: half the height, printed side out.
    strip(c, 110, y0 + 140, 330, y0 + 175, folded=True)
    arrow(c, [(345, y0 + 157), (395, y0 + 157)], ACCENT, 4)
    c.rect(410, y0 + 140, 530, y0 + 175, (20, 20, 22))
    c.rect(416, y0 + 147, 450, y0 + 150, (235, 235, 235))


def step_insert(c, y0):
    panel(c, y0, y0 + 190)
    step_number(c, 52, y0 + 34, 3)
    # The top of the keyboard: the clear label window above the seven Keyreach keys.
    kx0, kx1, ky = 90, 545, y0 + 70
    c.round_rect(kx0, ky, kx1, y0 + 178, 14, vgrad(ky, y0 + 178, GRAPHITE_TOP, GRAPHITE_BOTTOM))
    c.round_rect(kx0 + 14, ky + 12, kx1 - 14, ky + 46, 5, (8, 8, 10))
    c.round_rect(kx0 + 14, ky + 12, kx1 - 14, ky + 20, 4, (255, 255, 255), alpha=0.18)
    for k in range(7):
        a = kx0 + 24 + k * 61
        c.rect(a + 4, ky + 24, a + 34, ky + 27, (235, 235, 235))
        c.round_rect(a, ky + 56, a + 50, ky + 100, 6, vgrad(ky + 56, ky + 100, (236, 238, 242), (170, 175, 184)))
    # The folded strip slides into the window from its open right end.
    c.rect(380, y0 + 26, 540, y0 + 54, (20, 20, 22))
    c.rect(390, y0 + 33, 420, y0 + 36, (235, 235, 235))
    c.rect(450, y0 + 33, 480, y0 + 36, (235, 235, 235))
    arrow(c, [(360, y0 + 40), (250, y0 + 40), (200, y0 + 72)], ACCENT, 4)


def picture():
    c = Canvas(W, H)
    # The band at the top stays white for the strip; the scissors show where cutting starts.
    scissors(c, 22, 67, 0.9, 0)
    c.rect(20, 96, W - 20, 98, hgrad(20, W - 20, ACCENT, ACCENT2))
    step_cut(c, 114)
    step_fold(c, 320)
    step_insert(c, 526)
    return c


if __name__ == "__main__":
    picture().save_bmp(os.path.join(HERE, "instructions.bmp"))
