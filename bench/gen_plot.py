#!/usr/bin/env python3
"""Writes a large plot file for the conversion benchmark: mostly PU/PD/PA
polylines over several pens, with some labels. Deterministic for a seed.
With --pe the same geometry is written as Polyline Encoded commands."""
import argparse
import random


def pe_number(v):
    """One Polyline Encoded number in base 64: sign in the lowest bit,
    digits least significant first, the last one marked."""
    n = (abs(v) << 1) | (1 if v < 0 else 0)
    out = []
    while n >= 64:
        out.append(chr(63 + (n & 63)))
        n >>= 6
    out.append(chr(191 + n))
    return "".join(out)


def polyline(start, pts, pe):
    if not pe:
        return "PU%d,%d;PD" % start + ",".join("%d,%d" % p for p in pts) + ";"
    # An absolute pen-up move, then the points relative to each other.
    out = ["PE<=", pe_number(start[0]), pe_number(start[1])]
    px, py = start
    for x, y in pts:
        out.append(pe_number(x - px) + pe_number(y - py))
        px, py = x, y
    return "".join(out) + ";"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("output")
    ap.add_argument("--mb", type=float, default=32, help="size in megabytes")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--pe", action="store_true", help="write the polylines as PE commands")
    ap.add_argument("--count", type=int, default=0,
                    help="write this many polylines instead of stopping at --mb, so that "
                         "the PE and PA/PD forms of one seed hold the same geometry")
    args = ap.parse_args()
    rnd = random.Random(args.seed)
    target = int(args.mb * 1024 * 1024)
    written = 0
    # Latin-1 keeps the PE bytes above 127 as single bytes.
    with open(args.output, "w", newline="", encoding="latin-1") as out:
        head = "IN;SP1;\n"
        out.write(head)
        written += len(head)
        drawn = 0
        while (drawn < args.count) if args.count else (written < target):
            drawn += 1
            parts = ["SP%d;" % rnd.randint(1, 8)]
            x, y = rnd.randint(0, 11000), rnd.randint(0, 8000)
            start = (x, y)
            pts = []
            for _ in range(rnd.randint(4, 40)):
                x = min(11880, max(0, x + rnd.randint(-300, 300)))
                y = min(8400, max(0, y + rnd.randint(-300, 300)))
                pts.append((x, y))
            parts.append(polyline(start, pts, args.pe))
            if rnd.random() < 0.05:
                parts.append("PU%d,%d;LBPart %d\x03" % (x, y, rnd.randint(1, 9999)))
            chunk = "".join(parts) + "\n"
            out.write(chunk)
            written += len(chunk)
        out.write("PU0,0;SP0;\n")


if __name__ == "__main__":
    main()
