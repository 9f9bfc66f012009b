#!/usr/bin/env python3
"""Draws the service's keyboard icon (16x16 and 32x32, in 16 colours and in 32-bit colour)."""
import struct
import sys

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]

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


def nearest(c):
    return min(range(16), key=lambda i: sum((a - b) ** 2 for a, b in zip(VGA[i], c)))


def mask_bits(px, n):
    row_bytes = ((n + 31) // 32) * 4
    out = b''
    for y in reversed(range(n)):
        bits = 0
        row = bytearray(row_bytes)
        for x in range(n):
            if px[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def image(n, bpp):
    px = keyboard(n)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, bpp, 0, 0, 0, 0, 16 if bpp == 4 else 0, 0)
    if bpp == 4:
        pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in VGA)
        data = b''
        row_bytes = ((n * 4 + 31) // 32) * 4
        for y in reversed(range(n)):
            row = bytearray(row_bytes)
            for x in range(n):
                i = nearest(px[y][x]) if px[y][x] else 0
                row[x // 2] |= i << (4 if x % 2 == 0 else 0)
            data += bytes(row)
        return header + pal + data + mask_bits(px, n)
    data = b''
    for y in reversed(range(n)):
        for x in range(n):
            c = px[y][x]
            data += struct.pack('<BBBB', c[2], c[1], c[0], 255) if c else b'\0\0\0\0'
    return header + data + mask_bits(px, n)


def main(path):
    images = [(16, 4), (32, 4), (16, 32), (32, 32)]
    blobs = [image(n, bpp) for n, bpp in images]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (n, bpp), blob in zip(images, blobs):
        out += struct.pack('<BBBBHHII', n, n, 16 if bpp == 4 else 0, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    open(path, 'wb').write(out + b''.join(blobs))


if __name__ == '__main__':
    main(sys.argv[1])
