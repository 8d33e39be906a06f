#!/usr/bin/env python3
"""Writes a large EMF for the rendering benchmark: a dense plot-like picture
in MM_LOMETRIC (contour lines as polylines, hatched and solid polygons, arcs,
labels), about the size of a busy A1 drawing."""
import math
import random
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else "big.emf"
random.seed(42)
recs = []


def rec(t, payload=b""):
    payload += b"\0" * (-len(payload) % 4)
    recs.append(struct.pack("<II", t, 8 + len(payload)) + payload)


def words(*v):
    return struct.pack("<%dI" % len(v), *(x & 0xFFFFFFFF for x in v))


W, H = 8410, 5940  # A1 landscape in 0.1 mm
rec(17, words(2))  # SETMAPMODE MM_LOMETRIC
rec(18, words(1))  # SETBKMODE TRANSPARENT
colors = [0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x800080]
for i, c in enumerate(colors):
    rec(38, words(i + 1, 0, 3 * i, 0, c))  # CREATEPEN
for i in range(8):
    rec(39, words(9 + i, 2 if i % 2 else 0, colors[i], i % 6))  # CREATEBRUSHINDIRECT
# 400 contour lines of 500 points each.
for k in range(400):
    rec(37, words(1 + k % 8))
    cx, cy = random.randint(0, W), -random.randint(0, H)
    r = random.randint(100, 2500)
    pts = []
    for j in range(500):
        a = j / 500 * 2 * math.pi
        rr = r * (1 + 0.15 * math.sin(7 * a + k))
        pts.append((int(cx + rr * math.cos(a)), int(cy + rr * math.sin(a))))
    flat = [v for p in pts for v in p]
    rec(4, words(0, 0, 0, 0, len(pts), *flat))  # POLYLINE (32-bit points)
# 100,000 short hairlines.
rec(37, words(1))
for k in range(100000):
    x, y = random.randint(0, W), -random.randint(0, H)
    rec(27, words(x, y))
    rec(54, words(x + random.randint(-30, 30), y + random.randint(-30, 30)))
# 3,000 filled polygons and 2,000 arcs.
for k in range(3000):
    rec(37, words(9 + k % 8))
    x, y = random.randint(0, W), -random.randint(0, H)
    pts = [(x + random.randint(-150, 150), y + random.randint(-150, 150)) for _ in range(6)]
    rec(3, words(0, 0, 0, 0, 6, *[v for p in pts for v in p]))  # POLYGON
rec(37, words(0x80000005))  # NULL_BRUSH
for k in range(2000):
    x, y = random.randint(0, W), -random.randint(0, H)
    r = random.randint(20, 400)
    rec(45, words(x - r, y + r, x + r, y - r, x + r, y, x - r, y))  # ARC
# 2,000 labels.
face = "Courier New".encode("utf-16-le").ljust(64, b"\0")
rec(82, words(20, -40, 0, 0, 0, 400) + bytes([0, 0, 0, 0, 0, 0, 1, 0x31]) + face + b"\0" * 228)
rec(37, words(20))
for k in range(2000):
    text = "LABEL %05d" % k
    s = text.encode("utf-16-le")
    s += b"\0" * (-len(s) % 4)
    off_dx = 76 + len(s)
    body = words(0, 0, -1, -1, 1) + struct.pack("<ff", 10.0, -10.0)
    body += words(random.randint(0, W), -random.randint(0, H), len(text), 76, 0, 0, 0, -1, -1, off_dx)
    body += s + words(*([24] * len(text)))
    rec(84, body)
rec(14, words(0, 16, 20))  # EOF

dev, mm = (1920, 1080), (508, 286)
frame = (0, 0, W * 10, H * 10)
bounds = (0, 0, W * dev[0] // (mm[0] * 10), H * dev[1] // (mm[1] * 10))
body = b"".join(recs)
size = 108 + len(body)
header = struct.pack("<II4i4iIIIIHHIIIiiiiIIIii", 1, 108, *bounds, *frame, 0x464D4520, 0x10000, size,
                     len(recs) + 1, 21, 0, 0, 0, 0, dev[0], dev[1], mm[0], mm[1], 0, 0, 0,
                     mm[0] * 1000, mm[1] * 1000)
with open(out, "wb") as f:
    f.write(header + body)
print("%s: %d records, %d bytes" % (out, len(recs) + 1, size))
