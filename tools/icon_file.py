"""Writes Windows icon files from pictures given as rows of (r, g, b, a) pixels, colours 0..255 and
coverage a 0..1. Each picture goes in at 4 bits (the 16 standard colours, a pixel shown where it
is at least half covered) or at 32 bits (colour with alpha), both with the one-bit mask."""
import struct

VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def nearest(c):
    return min(range(16), key=lambda i: sum((a - b) ** 2 for a, b in zip(VGA[i], c)))


def mask_bits(px, n):
    row_bytes = ((n + 31) // 32) * 4
    out = b''
    for y in reversed(range(n)):
        row = bytearray(row_bytes)
        for x in range(n):
            if px[y][x][3] < 0.5:
                row[x // 8] |= 0x80 >> (x % 8)
        out += bytes(row)
    return out


def image(n, bpp, px):
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, bpp, 0, 0, 0, 0, 16 if bpp == 4 else 0, 0)
    if bpp == 4:
        pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in VGA)
        data = b''
        row_bytes = ((n * 4 + 31) // 32) * 4
        for y in reversed(range(n)):
            row = bytearray(row_bytes)
            for x in range(n):
                r, g, b, a = px[y][x]
                i = nearest((r, g, b)) if a >= 0.5 else 0
                row[x // 2] |= i << (4 if x % 2 == 0 else 0)
            data += bytes(row)
        return header + pal + data + mask_bits(px, n)
    data = b''
    for y in reversed(range(n)):
        for x in range(n):
            r, g, b, a = px[y][x]
            data += struct.pack('<BBBB', round(b), round(g), round(r), round(a * 255))
    return header + data + mask_bits(px, n)


def write_icon(path, pictures):
    """pictures: list of (size, bits per pixel, rows of pixels)."""
    blobs = [image(n, bpp, px) for n, bpp, px in pictures]
    out = struct.pack('<HHH', 0, 1, len(pictures))
    offset = 6 + 16 * len(pictures)
    for (n, bpp, _), blob in zip(pictures, blobs):
        out += struct.pack('<BBBBHHII', n, n, 16 if bpp == 4 else 0, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(out + b''.join(blobs))
