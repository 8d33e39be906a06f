#!/usr/bin/env python3
"""Draws the pictures of Tessella.exe's resources: the program icons, the
toolbar bitmap and the welcome metafile. They are committed; run this again
after changing a drawing here:

    python3 scripts/gen_resources.py resources/

Everything is written byte by byte (no imaging library), so two runs give
identical files."""
import math
import struct
import sys
from pathlib import Path

# --- a tiny rasteriser -------------------------------------------------------


class Canvas:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):  # inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.put(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def polygon(self, pts, c):
        """Fills the pixels whose centres lie inside the polygon."""
        ys = [p[1] for p in pts]
        for y in range(max(0, math.floor(min(ys))), min(self.h, math.ceil(max(ys)) + 1)):
            cy = y + 0.5
            xs = []
            for i in range(len(pts)):
                (ax, ay), (bx, by) = pts[i], pts[(i + 1) % len(pts)]
                if (ay <= cy < by) or (by <= cy < ay):
                    xs.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(max(0, math.ceil(a - 0.5)), min(self.w, math.floor(b - 0.5) + 1)):
                    self.px[y][x] = c

    def circle(self, cx, cy, r, c, fill=False):
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x - cx, y - cy)
                if (fill and d <= r + 0.3) or (not fill and abs(d - r) < 0.6):
                    self.px[y][x] = c


# --- icons -------------------------------------------------------------------

TILE = [(32, 72, 140), (0, 140, 160), (230, 140, 20), (200, 40, 40), (250, 250, 250)]


def icon_canvas(size):
    """A tile of tessellated triangles with a plotted line across it."""
    cv = Canvas(size, size, None)
    s = size / 32.0
    cv.polygon([(1 * s, 1 * s), (31 * s, 1 * s), (31 * s, 31 * s), (1 * s, 31 * s)], (24, 40, 80))
    cells = 4
    step = 30 * s / cells
    for j in range(cells):
        for i in range(cells):
            x0, y0 = 1 * s + i * step, 1 * s + j * step
            a = [(x0, y0), (x0 + step, y0), (x0, y0 + step)]
            b = [(x0 + step, y0), (x0 + step, y0 + step), (x0, y0 + step)]
            cv.polygon(a, TILE[(i + j) % 2])
            cv.polygon(b, TILE[(i + 2 * j + 1) % 4])
    # the pen's line, like a plot drawn over the tiles
    for t in range(-1, 1):
        cv.line(round(3 * s), round(27 * s) + t, round(28 * s), round(6 * s) + t, (250, 250, 250))
    return cv


def ico_image(cv):
    w, h = cv.w, cv.h
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            c = cv.px[y][x]
            xor += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255))
    row = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(row)
        for x in range(w):
            if cv.px[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def ico_file(canvases):
    images = [ico_image(cv) for cv in canvases]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for cv, img in zip(canvases, images):
        out += struct.pack('<BBBBHHII', cv.w % 256, cv.h % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b''.join(images)


# --- toolbar -----------------------------------------------------------------

# The 16-colour palette; light grey (index 7) is the button face the toolbar
# maps to the system colour.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
K, DRED, DGRN, OLIVE, NAVY, PURP, TEAL, FACE, GREY, RED, GRN, YEL, BLUE, MAG, CYAN, WHITE = range(16)


def page(cv, x0, y0, x1, y1):
    cv.rect(x0, y0, x1, y1, WHITE)
    cv.frame(x0, y0, x1, y1, K)


def tool_open(cv):
    cv.polygon([(1, 5), (6, 5), (7, 6), (14, 6), (14, 14), (1, 14)], YEL)
    cv.frame(1, 6, 14, 14, OLIVE)
    cv.line(1, 5, 6, 5, OLIVE)
    cv.polygon([(3, 9), (16, 9), (14, 14.9), (1, 14.9)], OLIVE)
    cv.line(9, 2, 13, 2, K)
    cv.line(13, 2, 13, 5, K)
    cv.line(12, 4, 14, 4, K)


def tool_log(cv):
    page(cv, 3, 1, 12, 14)
    for y in (4, 6, 8, 10, 12):
        cv.line(5, y, 10 if y != 12 else 8, y, NAVY)


def tool_print(cv):
    page(cv, 4, 1, 11, 6)
    cv.rect(1, 6, 14, 11, FACE)
    cv.frame(1, 6, 14, 11, K)
    cv.rect(2, 7, 13, 10, GREY)
    cv.put(12, 8, GRN)
    page(cv, 4, 10, 11, 14)
    cv.line(6, 12, 9, 12, K)


def tool_copy(cv):
    page(cv, 1, 1, 8, 10)
    page(cv, 6, 5, 13, 14)
    for y in (7, 9, 11):
        cv.line(8, y, 11, y, NAVY)


def tool_paste(cv):
    cv.rect(2, 2, 11, 14, OLIVE)
    cv.frame(2, 2, 11, 14, K)
    cv.rect(5, 1, 8, 3, GREY)
    cv.frame(5, 1, 8, 3, K)
    page(cv, 7, 6, 14, 14)
    for y in (8, 10, 12):
        cv.line(9, y, 12, y, NAVY)


def tool_options(cv):
    cv.circle(7.5, 7.5, 5.5, K, fill=True)
    for a in range(8):
        ang = a * math.pi / 4
        cv.rect(round(7.5 + 6 * math.cos(ang)) - 1, round(7.5 + 6 * math.sin(ang)) - 1,
                round(7.5 + 6 * math.cos(ang)), round(7.5 + 6 * math.sin(ang)), K)
    cv.circle(7.5, 7.5, 4.2, GREY, fill=True)
    cv.circle(7.5, 7.5, 1.8, FACE, fill=True)


def tool_normal(cv):
    page(cv, 1, 1, 14, 14)
    for x in (4, 11):
        cv.line(x, 4, x, 11, K)
        cv.put(x - 1, 5, K)
    cv.put(7, 6, K)
    cv.put(8, 6, K)
    cv.put(7, 9, K)
    cv.put(8, 9, K)


def magnifier(cv):
    cv.circle(6, 6, 4.5, K)
    cv.circle(6, 6, 3.6, WHITE, fill=True)
    for t in range(3):
        cv.line(9 + t, 10, 13 + t, 14, OLIVE if t == 1 else K)


def tool_zoom_in(cv):
    magnifier(cv)
    cv.line(4, 6, 8, 6, K)
    cv.line(6, 4, 6, 8, K)


def tool_zoom_out(cv):
    magnifier(cv)
    cv.line(4, 6, 8, 6, K)


def tool_help(cv):
    cv.circle(7.5, 7.5, 6.5, NAVY, fill=True)
    cv.rect(6, 3, 9, 4, WHITE)
    cv.rect(9, 4, 10, 6, WHITE)
    cv.rect(7, 7, 9, 8, WHITE)
    cv.rect(7, 9, 8, 9, WHITE)
    cv.rect(7, 11, 8, 12, WHITE)
    cv.put(5, 5, WHITE)


def tool_fit(cv):
    page(cv, 1, 1, 14, 14)
    for (x, y, dx, dy) in ((3, 3, 1, 1), (12, 3, -1, 1), (3, 12, 1, -1), (12, 12, -1, -1)):
        cv.line(x, y, x + 3 * dx, y + 3 * dy, BLUE)
        cv.line(x, y, x + 2 * dx, y, BLUE)
        cv.line(x, y, x, y + 2 * dy, BLUE)


TOOLS = [tool_open, tool_log, tool_print, tool_copy, tool_paste, tool_options, tool_normal, tool_zoom_in,
         tool_zoom_out, tool_help, tool_fit]


def toolbar_bmp():
    w, h = 16 * len(TOOLS), 16
    cv = Canvas(w, h, FACE)
    for i, draw in enumerate(TOOLS):
        tile = Canvas(16, 16, FACE)
        draw(tile)
        for y in range(16):
            for x in range(16):
                cv.px[y][16 * i + x] = tile.px[y][x]
    row = ((w * 4 + 31) // 32) * 4
    bits = bytearray()
    for y in range(h - 1, -1, -1):
        r = bytearray(row)
        for x in range(w):
            v = cv.px[y][x]
            r[x // 2] |= v << 4 if x % 2 == 0 else v
        bits += r
    palette = b''.join(bytes((b, g, r_, 0)) for (r_, g, b) in VGA)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 4, 0, len(bits), 2835, 2835, 16, 16)
    off = 14 + len(info) + len(palette)
    return struct.pack('<2sIHHI', b'BM', off + len(bits), 0, 0, off) + info + palette + bits


# --- the welcome metafile ----------------------------------------------------

# Drawn in pixels (MM_TEXT) of a reference screen of 1920 x 1080 pixels and
# 508 x 286 mm.
DEV = (1920, 1080)
MM = (508, 286)
W, H = 800, 500


class Emf:
    def __init__(self):
        self.records = []
        self.handles = 1

    def rec(self, kind, payload):
        self.records.append(struct.pack('<II', kind, 8 + len(payload)) + payload)

    def pen(self, slot, width, rgb):
        self.rec(38, struct.pack('<IIiiI', slot, 0, width, 0, colorref(rgb)))
        self.handles = max(self.handles, slot + 1)

    def brush(self, slot, rgb):
        self.rec(39, struct.pack('<IIII', slot, 0, colorref(rgb), 0))
        self.handles = max(self.handles, slot + 1)

    def select(self, h):
        self.rec(37, struct.pack('<I', h))

    def delete(self, slot):
        self.rec(40, struct.pack('<I', slot))

    def rectangle(self, l, t, r, b):
        self.rec(43, struct.pack('<iiii', l, t, r, b))

    def poly16(self, kind, pts):
        xs, ys = [p[0] for p in pts], [p[1] for p in pts]
        payload = struct.pack('<iiiiI', min(xs), min(ys), max(xs), max(ys), len(pts))
        payload += b''.join(struct.pack('<hh', x, y) for x, y in pts)
        self.rec(kind, payload)

    def polygon(self, pts):
        self.poly16(86, pts)

    def polyline(self, pts):
        self.poly16(87, pts)

    def font(self, slot, height, weight, face, italic=0, pitch=0):
        lf = struct.pack('<iiiiiBBBBBBBB', height, 0, 0, 0, weight, italic, 0, 0, 0, 0, 0, 4, pitch)
        name = face.encode('utf-16-le')
        lf += name + bytes(64 - len(name))
        payload = struct.pack('<I', slot) + lf
        payload += bytes(332 - 8 - len(payload))
        self.rec(82, payload)
        self.handles = max(self.handles, slot + 1)

    def text(self, x, y, s, widths, height):
        """`widths` maps characters to their advance in 1/1000 em, or is
        one advance in pixels for every character."""
        n = len(s)
        if isinstance(widths, dict):
            dx = [round(widths[ch] * height / 1000) for ch in s]
        else:
            dx = [widths] * n
        txt = s.encode('utf-16-le')
        txt += bytes((-len(txt)) % 4)
        off_string = 76
        off_dx = off_string + len(txt)
        bounds = (x, y - height, x + sum(dx), y + height // 3)
        payload = struct.pack('<iiiiIff', *bounds, 1, 100.0 * MM[0] / DEV[0], 100.0 * MM[1] / DEV[1])
        payload += struct.pack('<iiIIIiiiiI', x, y, n, off_string, 0, 0, 0, -1, -1, off_dx)
        payload += txt + b''.join(struct.pack('<i', d) for d in dx)
        self.rec(84, payload)

    def label(self, x, y, s, rgb, height, weight, face, widths, pitch=0):
        """A text in its own colour and font, the font deleted after it."""
        self.rec(24, struct.pack('<I', colorref(rgb)))  # SetTextColor
        self.font(1, -height, weight, face, pitch=pitch)
        self.select(1)
        self.text(x, y, s, widths, height)
        self.select(0x8000000D)  # SYSTEM_FONT
        self.delete(1)

    def finish(self, description):
        desc = description.encode('utf-16-le')
        desc += bytes((-len(desc)) % 4)
        eof = struct.pack('<IIIII', 14, 20, 0, 16, 20)
        body = b''.join(self.records) + eof
        nrec = len(self.records) + 2
        hsize = 108 + len(desc)
        frame = (0, 0, round(W * MM[0] * 100 / DEV[0]), round(H * MM[1] * 100 / DEV[1]))
        header = struct.pack('<II', 1, hsize)
        header += struct.pack('<iiii', 0, 0, W - 1, H - 1)
        header += struct.pack('<iiii', *frame)
        header += struct.pack('<IIIIHHIIIiiii', 0x464D4520, 0x10000, hsize + len(body), nrec, self.handles, 0,
                              len(description), 108, 0, DEV[0], DEV[1], MM[0], MM[1])
        header += struct.pack('<IIIii', 0, 0, 0, MM[0] * 1000, MM[1] * 1000)
        assert len(header) == 108
        return header + desc + body


# Advance widths of Arial in 1/1000 em, for the characters drawn here.
ARIAL = dict(zip(' ()-.ACGHLPQTabcdefghiklmnoprstuvwyz',
                 [278, 333, 333, 333, 278, 667, 722, 778, 722, 556, 667, 778, 611, 556, 556, 500, 556, 556,
                  278, 556, 556, 222, 500, 222, 833, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500]))
ARIAL_BOLD = dict(ARIAL, s=556, l=278)


def colorref(rgb):
    return rgb[0] | rgb[1] << 8 | rgb[2] << 16


def welcome_emf():
    e = Emf()
    e.rec(17, struct.pack('<I', 1))          # SetMapMode(MM_TEXT)
    e.rec(18, struct.pack('<I', 1))          # SetBkMode(TRANSPARENT)
    e.select(0x80000008)                     # NULL_PEN
    e.brush(1, (255, 255, 255))
    e.select(1)
    e.rectangle(0, 0, W, H)
    e.select(0x80000000)                     # WHITE_BRUSH
    e.delete(1)
    # the tessellated tile, 4 x 4 cells of two triangles
    x0, y0, step = 60, 90, 75
    colours = [TILE[0], TILE[1], TILE[2], TILE[3]]
    slot = 1
    for j in range(4):
        for i in range(4):
            ax, ay = x0 + i * step, y0 + j * step
            for k, tri in enumerate(([(ax, ay), (ax + step, ay), (ax, ay + step)],
                                     [(ax + step, ay), (ax + step, ay + step), (ax, ay + step)])):
                c = colours[(i + j) % 2] if k == 0 else colours[(i + 2 * j + 1) % 4]
                e.brush(slot, c)
                e.select(slot)
                e.polygon(tri)
                e.select(0x80000000)
                e.delete(slot)
    # a plotted curve over the tile, in white, then the tile's outline
    e.pen(1, 6, (255, 255, 255))
    e.select(1)
    curve = [(x0 + 10 + t * 2, round(y0 + 290 - 8 * t - 60 * math.sin(t / 9.0))) for t in range(0, 141, 4)]
    e.polyline(curve)
    e.select(0x80000007)                     # BLACK_PEN
    e.delete(1)
    e.pen(1, 3, (24, 40, 80))
    e.select(1)
    e.polyline([(x0, y0), (x0 + 4 * step, y0), (x0 + 4 * step, y0 + 4 * step), (x0, y0 + 4 * step), (x0, y0)])
    # a thin frame around the picture
    e.polyline([(8, 8), (W - 9, 8), (W - 9, H - 9), (8, H - 9), (8, 8)])
    e.select(0x80000007)
    e.delete(1)
    # the texts
    e.rec(22, struct.pack('<I', 24))         # SetTextAlign(TA_BASELINE)
    e.label(410, 190, 'Tessella', (24, 40, 80), 88, 700, 'Arial', ARIAL_BOLD)
    e.label(414, 240, 'HP-GL Plot file conversion utility', (60, 60, 60), 22, 400, 'Arial', ARIAL)
    # The placeholder reserves the 32 characters the version is written into.
    e.label(414, 300, '#VERSION'.ljust(32), (200, 40, 40), 20, 700, 'Courier New', 12, pitch=0x31)
    e.label(414, 440, 'Copyright (c) Quillmark. All rights reserved.', (110, 110, 110), 14, 400, 'Arial', ARIAL)
    return e.finish('Tessella\0Welcome\0\0')


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else 'resources')
    (out / 'tessella.ico').write_bytes(ico_file([icon_canvas(32), icon_canvas(16)]))
    (out / 'tessella_small.ico').write_bytes(ico_file([icon_canvas(16)]))
    (out / 'toolbar.bmp').write_bytes(toolbar_bmp())
    (out / 'welcome.emf').write_bytes(welcome_emf())


if __name__ == '__main__':
    main()
