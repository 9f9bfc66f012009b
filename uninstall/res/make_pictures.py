#!/usr/bin/env python3
"""Draws the uninstaller's pictures from shapes: tick.bmp (the green check mark beside a finished
stage, 16 x 16, 8-bit with a colour table, on the dialog grey that the program maps to the
system's face colour, which works through the colour table only) and
progress.avi (the animation beside the running stage: a document sheet sliding into a waste bin,
12 frames of 16 x 16 in 8-bit colour, uncompressed, on the same grey, which the animation
control takes as transparent). Each pixel averages a 4 x 4 grid of samples.
Run it again after changing the shapes: python3 make_pictures.py"""
import math
import os
import struct

SAMPLES = 4
GREY = (192, 192, 192)


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def render(w, h, colour):
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
                    for i in range(3):
                        acc[i] += c[i]
            n = SAMPLES * SAMPLES
            row.append(tuple(int(round(v / n)) for v in acc))
        rows.append(row)
    return rows


def tick_colour(x, y):
    d = min(seg_dist(x, y, 3.0, 8.5, 6.5, 12.0), seg_dist(x, y, 6.5, 12.0, 13.0, 3.5))
    if d < 1.2:
        return (0, 140 + int(40 * (1 - y / 16)), 40)
    if d < 1.9:
        return (0, 90, 20)
    return GREY


def frame_colour(step):
    # The sheet leaves the top left and drops into the bin on the right over the frames.
    t = step / 11.0
    sx = 1.5 + 6.0 * t
    sy = 1.0 + 6.5 * t * t

    def colour(x, y):
        # The bin: a tapered grey-blue body with ribs and a rim.
        if 9.0 <= y <= 15.0:
            left, right = 8.0 + (y - 9.0) * 0.25, 15.0 - (y - 9.0) * 0.25
            if left <= x <= right:
                if y < 10.0:
                    return (40, 60, 110)
                rib = (x - left) % 2.0 < 0.6
                return (70, 100, 160) if rib else (110, 140, 200)
        # The sheet, drawn over everything but the bin's front once inside it.
        if sx <= x <= sx + 5.0 and sy <= y <= sy + 6.0:
            if x < sx + 0.5 or x > sx + 4.5 or y < sy + 0.5 or y > sy + 5.5:
                return (60, 60, 60)
            line = (y - sy) % 1.5 < 0.5 and sx + 1.0 < x < sx + 4.0
            return (80, 80, 200) if line else (255, 255, 255)
        return GREY
    return colour


def palette_of(pictures):
    palette = [GREY]
    for picture in pictures:
        for row in picture:
            for c in row:
                if c not in palette:
                    palette.append(c)
    assert len(palette) <= 256, len(palette)
    return palette


def indexed(picture, palette):
    """The rows bottom-up as palette indexes, each padded to four bytes."""
    stride = (len(picture[0]) + 3) & ~3
    data = b''
    for row in reversed(picture):
        line = bytes(palette.index(c) for c in row)
        data += line + b'\0' * (stride - len(line))
    return data


def bitmap_header(w, h, size, palette):
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, size, 0, 0, len(palette), len(palette))
    return header + b''.join(struct.pack('<BBBB', c[2], c[1], c[0], 0) for c in palette)


def write_bmp8(path, picture):
    palette = palette_of([picture])
    data = indexed(picture, palette)
    header = bitmap_header(len(picture[0]), len(picture), len(data), palette)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def chunk(fourcc, data):
    pad = b'\0' if len(data) % 2 else b''
    return fourcc + struct.pack('<I', len(data)) + data + pad


def riff_list(kind, fourcc, payload):
    return kind + struct.pack('<I', len(payload) + 4) + fourcc + payload


def write_avi(path, frames):
    h, w = len(frames[0]), len(frames[0][0])
    palette = palette_of(frames)
    pixels = [indexed(f, palette) for f in frames]
    size = len(pixels[0])
    per_frame_us = 100000
    avih = struct.pack('<IIIIIIIIII16x', per_frame_us, size * 10, 0, 0x10, len(frames), 0, 1, size, w, h)
    strh = struct.pack('<4s4sIHHIIIIIIIIhhhh', b'vids', b'DIB ', 0, 0, 0, 0, 1, 10, 0, len(frames), size,
                       0xFFFFFFFF, 0, 0, 0, w, h)
    strl = riff_list(b'LIST', b'strl', chunk(b'strh', strh) + chunk(b'strf', bitmap_header(w, h, size, palette)))
    hdrl = riff_list(b'LIST', b'hdrl', chunk(b'avih', avih) + strl)
    movi_payload = b''
    index = b''
    for data in pixels:
        index += struct.pack('<4sIII', b'00db', 0x10, 4 + len(movi_payload), len(data))
        movi_payload += chunk(b'00db', data)
    movi = riff_list(b'LIST', b'movi', movi_payload)
    body = hdrl + movi + chunk(b'idx1', index)
    with open(path, 'wb') as f:
        f.write(riff_list(b'RIFF', b'AVI ', body))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp8(os.path.join(here, 'tick.bmp'), render(16, 16, tick_colour))
    write_avi(os.path.join(here, 'progress.avi'), [render(16, 16, frame_colour(i)) for i in range(12)])


if __name__ == '__main__':
    main()
