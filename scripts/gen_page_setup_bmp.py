#!/usr/bin/env python3
"""Draws resources/page_setup.bmp, the page picture of the Page Setup dialog:
a sheet with its margins, a heading and a footer line, and a small drawing
between them. 8 bits per pixel, bottom-up, as LoadBitmap takes it."""
import struct
import sys

W, H = 96, 128
PALETTE = [
    (212, 208, 200),  # 0 dialog grey (outside the sheet)
    (255, 255, 255),  # 1 paper
    (0, 0, 0),        # 2 sheet edge, drawing
    (128, 128, 128),  # 3 shadow
    (64, 128, 255),   # 4 margin lines
    (96, 96, 96),     # 5 heading and footer text
    (255, 0, 0),      # 6 red pen
    (0, 160, 0),      # 7 green pen
]

px = [[0] * W for _ in range(H)]


def rect(x0, y0, x1, y1, c, fill=False):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if fill or x in (x0, x1) or y in (y0, y1):
                px[y][x] = c


def line(x0, y0, x1, y1, c):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        px[round(y0 + (y1 - y0) * i / n)][round(x0 + (x1 - x0) * i / n)] = c


# The sheet (A4 proportions) with its shadow.
rect(10, 8, 88, 120, 3, fill=True)
rect(6, 4, 84, 116, 1, fill=True)
rect(6, 4, 84, 116, 2)
# Margins, dotted.
for x in range(12, 79, 2):
    px[10][x] = px[110][x] = 4
for y in range(10, 111, 2):
    px[y][12] = px[y][78] = 4
# Heading and footer: a line of "words" each, centred.
for x0, x1 in ((27, 38), (41, 46), (49, 63)):
    rect(x0, 13, x1, 14, 5, fill=True)
for x0, x1 in ((31, 44), (47, 59)):
    rect(x0, 106, x1, 107, 5, fill=True)
# The drawing: a floor plan, fitted between them.
rect(17, 38, 73, 82, 2)
line(17, 60, 44, 60, 2)
line(44, 38, 44, 82, 2)
rect(22, 43, 36, 54, 7)
rect(50, 66, 68, 77, 6)
line(44, 60, 52, 52, 6)
line(55, 38, 55, 48, 2)

rows = b""
for y in reversed(range(H)):
    rows += bytes(px[y])  # 96 bytes: a multiple of 4 already
pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
pal += b"\0" * (4 * (256 - len(PALETTE)))
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
offset = 14 + len(info) + len(pal)
header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
out = sys.argv[1] if len(sys.argv) > 1 else "resources/page_setup.bmp"
with open(out, "wb") as f:
    f.write(header + info + pal + rows)
