#!/usr/bin/env python3
"""Writes a large plot file for the conversion benchmark: mostly PU/PD/PA
polylines over several pens, with some labels. Deterministic for a seed."""
import argparse
import random


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("output")
    ap.add_argument("--mb", type=float, default=32, help="size in megabytes")
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    rnd = random.Random(args.seed)
    target = int(args.mb * 1024 * 1024)
    written = 0
    with open(args.output, "w", newline="") as out:
        head = "IN;SP1;\n"
        out.write(head)
        written += len(head)
        while written < target:
            parts = ["SP%d;" % rnd.randint(1, 8)]
            x, y = rnd.randint(0, 11000), rnd.randint(0, 8000)
            parts.append("PU%d,%d;" % (x, y))
            pts = []
            for _ in range(rnd.randint(4, 40)):
                x = min(11880, max(0, x + rnd.randint(-300, 300)))
                y = min(8400, max(0, y + rnd.randint(-300, 300)))
                pts.append("%d,%d" % (x, y))
            parts.append("PD" + ",".join(pts) + ";")
            if rnd.random() < 0.05:
                parts.append("PU%d,%d;LBPart %d\x03" % (x, y, rnd.randint(1, 9999)))
            chunk = "".join(parts) + "\n"
            out.write(chunk)
            written += len(chunk)
        out.write("PU0,0;SP0;\n")


if __name__ == "__main__":
    main()
