#!/usr/bin/env python3
"""Writes a large plot file for the conversion benchmark: mostly PU/PD/PA
polylines over several pens, with some labels. Deterministic for a seed.
With --pe the same geometry is written as Polyline Encoded commands; with
--mixed the plot is labels, fills and short strokes in many pens instead."""
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


def mixed_item(rnd):
    """One piece of a drawing that changes pen, width and colour often and
    mixes labels, filled shapes and short relative strokes."""
    pen = rnd.randint(1, 63)
    x, y = rnd.randint(0, 11000), rnd.randint(0, 8000)
    parts = ["SP%d;PW%.2f;" % (pen, rnd.choice((0.1, 0.25, 0.35, 0.5)))]
    if rnd.random() < 0.1:
        parts.append("PC%d,%d,%d,%d;" % (pen, rnd.randint(0, 255), rnd.randint(0, 255),
                                          rnd.randint(0, 255)))
    kind = rnd.random()
    if kind < 0.3:
        parts.append("PU%d,%d;SI%.2f,%.2f;DI%d,%d;LB%s\x03" % (
            (x, y, rnd.choice((0.19, 0.25, 0.4)), rnd.choice((0.27, 0.3, 0.5)))
            + rnd.choice(((1, 0), (0, 1), (-1, 0), (1, 1))) + (
            "".join(rnd.choice("ABCDEFGHJKLMNPRSTUVWXYZ0123456789 -.") for _ in range(rnd.randint(3, 24))),)))
    elif kind < 0.55:
        parts.append("PU%d,%d;FT%d;%s%d,%d;" % (x, y, rnd.choice((1, 3, 4)),
                                                rnd.choice(("RR", "ER")), rnd.randint(20, 600),
                                                rnd.randint(20, 600)))
    elif kind < 0.7:
        parts.append("PU%d,%d;PM0;PD%d,%d,%d,%d;PM2;FP;EP;" % (
            x, y, x + rnd.randint(-400, 400), y + rnd.randint(0, 400),
            x + rnd.randint(-400, 400), y - rnd.randint(0, 400)))
    elif kind < 0.8:
        parts.append("PU%d,%d;CI%d;WG%d,%d,%d;" % (x, y, rnd.randint(10, 400),
                                                   rnd.randint(10, 300), rnd.randint(0, 359),
                                                   rnd.randint(10, 120)))
    else:
        parts.append("PU%d,%d;PR;PD" % (x, y) + ",".join(
            "%d,%d" % (rnd.randint(-80, 80), rnd.randint(-80, 80)) for _ in range(rnd.randint(2, 12)))
            + ";PA;")
    return "".join(parts) + "\n"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("output")
    ap.add_argument("--mb", type=float, default=32, help="size in megabytes")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--pe", action="store_true", help="write the polylines as PE commands")
    ap.add_argument("--mixed", action="store_true",
                    help="labels, fills and short strokes in many pens instead of polylines")
    ap.add_argument("--count", type=int, default=0,
                    help="write this many polylines instead of stopping at --mb, so that "
                         "the PE and PA/PD forms of one seed hold the same geometry")
    args = ap.parse_args()
    rnd = random.Random(args.seed)
    target = int(args.mb * 1024 * 1024)
    written = 0
    # Latin-1 keeps the PE bytes above 127 as single bytes.
    with open(args.output, "w", newline="", encoding="latin-1") as out:
        head = "IN;NP64;SP1;\n" if args.mixed else "IN;SP1;\n"
        out.write(head)
        written += len(head)
        drawn = 0
        while (drawn < args.count) if args.count else (written < target):
            drawn += 1
            if args.mixed:
                chunk = mixed_item(rnd)
                out.write(chunk)
                written += len(chunk)
                continue
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
