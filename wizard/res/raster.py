"""A small vector rasteriser for the wizard's pictures: shapes are filled with anti-aliased edges
(several samples per pixel) and written as 8-bit BMP files with a palette made by median cut."""
import math
import struct

SS = 3  # samples per pixel along each axis


class Canvas:
    def __init__(self, w, h, color=(255, 255, 255)):
        self.w, self.h = w, h
        self.px = [[list(color) for _ in range(w)] for _ in range(h)]

    def blend(self, x, y, color, a):
        if a <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y][x]
        for i in range(3):
            p[i] = p[i] + (color[i] - p[i]) * a

    def fill(self, inside, bbox, paint, alpha=1.0):
        """inside(x, y) -> bool for a point; paint is a colour or a function of the point."""
        x0, y0, x1, y1 = [int(math.floor(v)) for v in bbox]
        x0, y0 = max(x0, 0), max(y0, 0)
        x1, y1 = min(x1 + 1, self.w), min(y1 + 1, self.h)
        step = 1.0 / SS
        offs = [(i + 0.5) * step for i in range(SS)]
        total = SS * SS
        fn = paint if callable(paint) else None
        for y in range(y0, y1):
            for x in range(x0, x1):
                hits = 0
                for oy in offs:
                    for ox in offs:
                        if inside(x + ox, y + oy):
                            hits += 1
                if hits:
                    color = fn(x + 0.5, y + 0.5) if fn else paint
                    self.blend(x, y, color, alpha * hits / total)

    def rect(self, x0, y0, x1, y1, paint, alpha=1.0):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1), paint, alpha)

    def round_rect(self, x0, y0, x1, y1, r, paint, alpha=1.0):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.fill(inside, (x0, y0, x1, y1), paint, alpha)

    def ellipse(self, cx, cy, rx, ry, paint, alpha=1.0):
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                  (cx - rx, cy - ry, cx + rx, cy + ry), paint, alpha)

    def ring(self, cx, cy, r_out, r_in, paint, alpha=1.0, arc=None):
        def inside(x, y):
            d = math.hypot(x - cx, y - cy)
            if not (r_in <= d <= r_out):
                return False
            if arc:
                a = math.degrees(math.atan2(y - cy, x - cx)) % 360
                lo, hi = arc
                return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
            return True
        self.fill(inside, (cx - r_out, cy - r_out, cx + r_out, cy + r_out), paint, alpha)

    def polygon(self, pts, paint, alpha=1.0):
        def inside(x, y):
            c = False
            n = len(pts)
            for i in range(n):
                ax, ay = pts[i]
                bx, by = pts[(i + 1) % n]
                if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                    c = not c
            return c
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        self.fill(inside, (min(xs), min(ys), max(xs), max(ys)), paint, alpha)

    def line(self, ax, ay, bx, by, width, paint, alpha=1.0):
        dx, dy = bx - ax, by - ay
        ll = dx * dx + dy * dy or 1e-9
        hw = width / 2.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
            return math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= hw
        self.fill(inside, (min(ax, bx) - hw, min(ay, by) - hw, max(ax, bx) + hw, max(ay, by) + hw), paint, alpha)

    def save_bmp(self, path):
        pixels = [tuple(max(0, min(255, int(round(c)))) for c in p) for row in self.px for p in row]
        palette, index = quantise(pixels)
        stride = (self.w + 3) & ~3
        rows = []
        for y in range(self.h - 1, -1, -1):  # bottom-up
            row = bytes(index[pixels[y * self.w + x]] for x in range(self.w))
            rows.append(row + b"\0" * (stride - self.w))
        data = b"".join(rows)
        pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
        pal += b"\0\0\0\0" * (256 - len(palette))
        header = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 8, 0, len(data), 3780, 3780, 256, 0)
        offset = 14 + len(header) + len(pal)
        with open(path, "wb") as f:
            f.write(b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset))
            f.write(header + pal + data)


def quantise(pixels):
    """Median cut over the distinct colours, weighted by count; returns the palette and a map."""
    counts = {}
    for p in pixels:
        counts[p] = counts.get(p, 0) + 1
    colours = list(counts.items())
    if len(colours) <= 256:
        palette = [c for c, _ in colours]
        return palette, {c: i for i, c in enumerate(palette)}
    boxes = [colours]
    while len(boxes) < 256:
        boxes.sort(key=lambda b: -spread(b)[0] * math.log(1 + sum(n for _, n in b)))
        box = boxes.pop(0)
        if len(box) < 2:
            boxes.append(box)
            break
        _, axis = spread(box)
        box.sort(key=lambda cn: cn[0][axis])
        total = sum(n for _, n in box)
        acc, cut = 0, 1
        for i, (_, n) in enumerate(box):
            acc += n
            if acc >= total / 2:
                cut = max(1, min(len(box) - 1, i))
                break
        boxes += [box[:cut], box[cut:]]
    palette, index = [], {}
    for i, box in enumerate(boxes):
        total = sum(n for _, n in box)
        avg = tuple(int(round(sum(c[k] * n for c, n in box) / total)) for k in range(3))
        palette.append(avg)
        for c, _ in box:
            index[c] = i
    return palette, index


def spread(box):
    best, axis = -1, 0
    for k in range(3):
        vals = [c[k] for c, _ in box]
        s = max(vals) - min(vals)
        if s > best:
            best, axis = s, k
    return best, axis


def vgrad(y0, y1, c0, c1):
    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / float(y1 - y0 or 1)))
        return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(3))
    return paint


def hgrad(x0, x1, c0, c1):
    def paint(x, y):
        t = min(1.0, max(0.0, (x - x0) / float(x1 - x0 or 1)))
        return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(3))
    return paint
