#!/usr/bin/env python3
"""Draws the wizard's pictures from vector shapes (raster.py) and writes them as 8-bit BMP files
beside this script, plus the hand cursor and the click sound. The pictures carry no words, so
one version serves every language. Run it again after changing a drawing: python3 make_pictures.py"""
import math
import os
import struct
import sys

from raster import Canvas, hgrad, vgrad

HERE = os.path.dirname(os.path.abspath(__file__))
ACCENT = (30, 111, 217)
ACCENT2 = (0, 170, 190)
GRAPHITE_TOP, GRAPHITE_BOTTOM = (78, 82, 90), (32, 34, 38)
KEY_X = (216, 292, 366, 438, 511, 585, 658)  # left edges of the seven keys on the page


def background(w, h, panel=None):
    c = Canvas(w, h)
    c.rect(0, 0, w, 30, vgrad(0, 30, (246, 248, 251), (228, 233, 240)))
    c.rect(0, 30, w, 66, (0, 0, 0))
    c.rect(0, 66, w, 69, hgrad(0, w, ACCENT, ACCENT2))
    # Soft arcs in the lower right corner, light enough for text drawn over them.
    for i, r in enumerate((260, 210, 160)):
        c.ring(w + 40, h + 60, r + 10, r, hgrad(w - 300, w, ACCENT, ACCENT2), alpha=0.07 + 0.03 * i)
    c.rect(0, h - 3, w, h, hgrad(0, w, (235, 238, 243), (210, 220, 235)))
    return c


def key_cap(c, x, y, w, h, lit=False, glyph=True):
    c.round_rect(x + 1, y + 3, x + w + 1, y + h + 3, 7, (10, 10, 12), alpha=0.6)
    if lit:
        for g in range(6, 0, -1):
            c.round_rect(x - g, y - g, x + w + g, y + h + g, 7 + g, (255, 170, 40), alpha=0.10)
        top, bottom, face = (255, 214, 140), (236, 140, 30), (255, 226, 170)
    else:
        top, bottom, face = (236, 238, 242), (170, 175, 184), (224, 227, 232)
    c.round_rect(x, y, x + w, y + h, 7, vgrad(y, y + h, top, bottom))
    c.round_rect(x + 4, y + 3, x + w - 4, y + h - 8, 5, vgrad(y, y + h, face, top))
    if not glyph:
        return
    # The launch glyph: an arrow leaving a small box.
    gx, gy = x + w / 2.0 - 7, y + h / 2.0 - 9
    ink = (120, 60, 0) if lit else ACCENT
    c.line(gx, gy + 4, gx, gy + 14, 2, ink)
    c.line(gx, gy + 14, gx + 10, gy + 14, 2, ink)
    c.line(gx + 4, gy + 10, gx + 13, gy + 1, 2, ink)
    c.polygon([(gx + 14, gy), (gx + 14, gy + 6), (gx + 8, gy)], ink)


def key_row(lit):
    # Placed on the page at (190, 106); the keys sit exactly over the hot spots.
    c = Canvas(530, 130)
    c.round_rect(0, 0, 530, 130, 14, vgrad(0, 130, GRAPHITE_TOP, GRAPHITE_BOTTOM))
    c.round_rect(3, 2, 527, 40, 12, (255, 255, 255), alpha=0.06)
    c.round_rect(8, 94, 522, 126, 6, (0, 0, 0))
    for k, x in enumerate(KEY_X):
        key_cap(c, x - 190, 152 - 106, 40, 45, lit == k)
    return c


def summary_keys():
    # Placed on the page at (16, 110); the labels go into the black strip under the keys.
    c = Canvas(460, 100)
    c.round_rect(0, 0, 460, 100, 12, vgrad(0, 100, GRAPHITE_TOP, GRAPHITE_BOTTOM))
    c.round_rect(6, 56, 454, 94, 6, (0, 0, 0))
    for k in range(7):
        key_cap(c, 7 + 64 * k + 15, 10, 36, 38)
    return c


def slash(c, cx, cy, r):
    c.ring(cx, cy, r, r - 7, (210, 40, 40))
    d = (r - 4) / math.sqrt(2)
    c.line(cx - d, cy - d, cx + d, cy + d, 7, (210, 40, 40))


def check(c, cx, cy, r):
    c.ellipse(cx, cy, r, r, (40, 160, 70))
    c.line(cx - r * 0.45, cy, cx - r * 0.1, cy + r * 0.38, r * 0.22, (255, 255, 255))
    c.line(cx - r * 0.1, cy + r * 0.38, cx + r * 0.5, cy - r * 0.35, r * 0.22, (255, 255, 255))


def panel(w, h):
    c = Canvas(w, h)
    c.round_rect(0, 0, w, h, 16, vgrad(0, h, (238, 243, 250), (214, 224, 238)))
    return c


def arrow_key(c, x, y, forward, on):
    key_cap(c, x, y, 70, 70, glyph=False)
    ink = ACCENT if on else (150, 150, 150)
    cx, cy = x + 35, y + 32
    s = 1 if forward else -1
    c.line(cx - 14 * s, cy, cx + 10 * s, cy, 6, ink)
    c.polygon([(cx + 16 * s, cy), (cx + 4 * s, cy - 12), (cx + 4 * s, cy + 12)], ink)


def nav_picture(on):
    c = panel(260, 180)
    arrow_key(c, 45, 50, False, on)
    arrow_key(c, 145, 50, True, on)
    return badge(c, on)


def krh_picture(on):
    c = panel(260, 180)
    c.round_rect(14, 50, 246, 120, 12, vgrad(50, 120, GRAPHITE_TOP, GRAPHITE_BOTTOM))
    for k in range(7):
        key_cap(c, 22 + 32 * k, 66, 26, 34, lit=(k == 3 and on))
    return badge(c, on)


def badge(c, on):
    # Switched on: a check mark; off: the picture faded and crossed out.
    if on:
        check(c, 220, 145, 22)
    else:
        c.rect(0, 0, 260, 180, (235, 235, 235), alpha=0.45)
        slash(c, 220, 140, 28)
    return c


def keyboard_picture():
    c = Canvas(300, 220)
    c.ellipse(150, 118, 150, 100, vgrad(18, 218, (226, 236, 250), (255, 255, 255)))
    # The keyboard in a slight perspective: a body and rows of keys narrowing to the back.
    c.polygon([(20, 190), (280, 190), (252, 70), (48, 70)], vgrad(70, 190, GRAPHITE_TOP, GRAPHITE_BOTTOM))
    for row in range(4):
        y0 = 82 + row * 26
        t0, t1 = (y0 - 70) / 120.0, (y0 + 20 - 70) / 120.0
        left0, right0 = 48 - 28 * t0 + 8, 252 + 28 * t0 - 8
        n = 11
        for i in range(n):
            a = left0 + (right0 - left0) * i / n + 2
            b = left0 + (right0 - left0) * (i + 1) / n - 2
            lit = row == 0 and 2 <= i <= 8
            color = (255, 196, 90) if lit else (214, 218, 224)
            c.polygon([(a - 2 * t1, y0 + 20), (b + 2 * t1, y0 + 20), (b, y0), (a, y0)],
                      vgrad(y0, y0 + 20, color, tuple(v * 0.8 for v in color)))
    c.ring(150, 40, 34, 30, hgrad(116, 184, ACCENT, ACCENT2), arc=(200, 340))
    c.ring(150, 40, 22, 18, hgrad(128, 172, ACCENT, ACCENT2), arc=(210, 330))
    return c


def banner():
    c = Canvas(340, 6)
    c.rect(0, 0, 340, 6, hgrad(0, 340, ACCENT, (255, 255, 255)))
    return c


def taskbar(shown):
    c = Canvas(200, 100)
    c.round_rect(0, 0, 200, 100, 12, vgrad(0, 100, (238, 243, 250), (214, 224, 238)))
    c.rect(0, 62, 200, 92, vgrad(62, 92, (70, 110, 190), (40, 70, 140)))
    c.round_rect(96, 66, 196, 88, 4, (30, 50, 110))
    c.rect(168, 72, 190, 82, (230, 230, 230), alpha=0.9)  # the clock
    if shown:
        c.round_rect(104, 70, 122, 84, 3, vgrad(70, 84, (240, 240, 244), (170, 175, 184)))
        c.rect(107, 74, 119, 76, ACCENT)
        c.rect(107, 78, 119, 80, ACCENT)
        c.ring(113, 77, 30, 26, (255, 190, 60), alpha=0.8)
        c.line(113, 20, 113, 44, 4, (255, 190, 60))
        c.polygon([(113, 50), (104, 38), (122, 38)], (255, 190, 60))
    else:
        for i in range(5):
            c.rect(104 + i * 4, 70, 106 + i * 4, 71, (160, 170, 200))
            c.rect(104 + i * 4, 83, 106 + i * 4, 84, (160, 170, 200))
        slash(c, 113, 30, 22)
    return c


def printer(on):
    c = panel(240, 180)
    c.rect(70, 20, 170, 70, (255, 255, 255))
    c.round_rect(40, 60, 200, 130, 10, vgrad(60, 130, (120, 126, 136), (60, 64, 72)))
    c.rect(60, 110, 180, 160, (255, 255, 255))
    c.rect(66, 122, 174, 142, (0, 0, 0) if on else (210, 210, 210))
    for k in range(7):
        c.rect(70 + 15 * k, 128, 80 + 15 * k, 131, (255, 255, 255) if on else (180, 180, 180))
    c.ellipse(182, 76, 4, 4, (80, 220, 90) if on else (120, 120, 120))
    if not on:
        slash(c, 200, 40, 26)
    return c


def sheet_width():
    c = Canvas(719, 448)
    c.rect(0, 0, 719, 448, vgrad(0, 448, (255, 255, 255), (232, 238, 246)))
    return c


def cursor(path):
    """The hand cursor (32 x 32, monochrome) with its hot spot at the finger tip (12, 1)."""
    size = 32
    outline = [(10, 0), (15, 0), (15, 10), (23, 11), (26, 13), (26, 24), (22, 31), (10, 31), (4, 22), (4, 16),
               (8, 16), (10, 18)]
    inner = [(12, 2.5), (13, 2.5), (13, 12.5), (21.5, 13.5), (24, 15), (24, 22.5), (20.5, 29), (11.5, 29),
             (6, 20.8), (6, 18.2), (7.8, 18.2), (12, 22.6)]
    c = Canvas(size, size, (255, 255, 255))
    c.polygon(outline, (0, 0, 0))
    c.polygon(inner, (255, 255, 255))
    mask_and, mask_xor = [], []
    for y in range(size - 1, -1, -1):  # bottom-up rows
        row_and = row_xor = 0
        for x in range(size):
            bit = 1 << (31 - x)
            if not _in_poly(outline, x + 0.5, y + 0.5):
                row_and |= bit  # transparent
            elif c.px[y][x][0] >= 128:
                row_xor |= bit  # white
        mask_xor.append(struct.pack(">I", row_xor))
        mask_and.append(struct.pack(">I", row_and))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    colors = b"\0\0\0\0" + b"\xff\xff\xff\0"
    image = header + colors + b"".join(mask_xor) + b"".join(mask_and)
    directory = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 12, 1, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


def _in_poly(pts, x, y):
    c = False
    for i in range(len(pts)):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % len(pts)]
        if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
            c = not c
    return c


def click(path):
    """A short, soft click: a decaying 2 kHz tone burst with a little noise, 8-bit mono 22 kHz."""
    rate, n = 22050, 700
    seed = 12345
    data = bytearray()
    for i in range(n):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        noise = (seed / 0x7FFFFFFF) * 2 - 1
        env = math.exp(-i / 90.0)
        v = env * (0.6 * math.sin(2 * math.pi * 2000 * i / rate) + 0.25 * noise)
        data.append(max(0, min(255, int(128 + 110 * v))))
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + bytes(data)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def main():
    out = lambda name: os.path.join(HERE, name)
    only = set(sys.argv[1:])  # names of the pictures to draw again; all when none are named
    pictures = {
        "background.bmp": lambda: background(716, 550),
        "keys_background.bmp": lambda: background(719, 496),
        "summary_background.bmp": lambda: background(716, 517),
        "sheet_width.bmp": sheet_width,
        "welcome_banner.bmp": banner,
        "welcome_keyboard.bmp": keyboard_picture,
        "nav_on.bmp": lambda: nav_picture(True),
        "nav_off.bmp": lambda: nav_picture(False),
        "krh_on.bmp": lambda: krh_picture(True),
        "krh_off.bmp": lambda: krh_picture(False),
        "keyrow.bmp": lambda: key_row(None),
        "tray_shown.bmp": lambda: taskbar(True),
        "tray_hidden.bmp": lambda: taskbar(False),
        "print_on.bmp": lambda: printer(True),
        "print_off.bmp": lambda: printer(False),
        "summary_keys.bmp": summary_keys,
    }
    for k in range(7):
        pictures["keyrow_%d.bmp" % (k + 1)] = (lambda k=k: key_row(k))
    for name, draw in pictures.items():
        if not only or name in only:
            draw().save_bmp(out(name))
    cursor(out("hand.cur"))
    click(out("click.wav"))


if __name__ == "__main__":
    main()
