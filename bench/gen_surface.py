#!/usr/bin/env python3
"""Writes the benchmark's surface plot: the HP-GL that gnuplot's hpgl terminal
writes for a 200 x 200 hidden3d surface, its body (everything between the
set-up and the closing pen-up) repeated until the file holds --mb megabytes.
Without gnuplot, a plot of the same form (PU;PA x,y; PD;PA x,y; one move a
line, the same set-up and labels) is written instead, and a line says so."""
import argparse
import math
import os
import shutil
import subprocess
import sys
import tempfile

SCRIPT = """set terminal hpgl
set output '{out}'
set isosamples 200,200
set samples 200,200
set hidden3d
splot sin(sqrt(x*x+y*y))/sqrt(x*x+y*y)
"""


def from_gnuplot():
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "surface.plt")
        subprocess.run(["gnuplot"], input=SCRIPT.format(out=out).encode(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with open(out, "rb") as f:
            return f.read()


def imitation():
    """The same commands gnuplot writes, one segment a pen-up/pen-down pair."""
    lines = ["\x1b.Y\n\x1b.I81;;17:\x1b.N;19:\x1b.M500:\nIN;\nSC0,10000,0,7500;\n"
             "SR0.200000,0.400000;\nPU;\nSP1;\nPU;\nSP3;\n"]
    n = 200
    for i in range(n):
        for j in range(n):
            x0 = 1400 + 45 * i - 22 * j
            y0 = 3000 + 12 * i + 20 * j
            r = math.hypot(i - n / 2, j - n / 2) / 8 + 1e-9
            z = int(1500 * math.sin(r) / r)
            lines.append("PU;PA%d,%d;\nPD;PA%d,%d;\n" % (x0, y0 + z, x0 + 45, y0 + 12 + z))
    for k in range(6):
        lines.append("PU;PA1334,%d;\nPD;PA1227,%d;\nPU;PA894,%d;\nLB %.1f\x03\n"
                     % (3828 + 342 * k, 3828 + 342 * k, 3813 + 342 * k, 0.2 * k))
    lines.append("PUSP0;\x1b.Z")
    return "".join(lines).encode("latin-1")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("output")
    ap.add_argument("--mb", type=float, default=60, help="size in megabytes (10^6 bytes)")
    args = ap.parse_args()
    if shutil.which("gnuplot"):
        data = from_gnuplot()
    else:
        print("gen_surface: gnuplot is not installed; writing a plot of the same form",
              file=sys.stderr)
        data = imitation()
    # The body starts at the first pen selection and ends before the closing
    # pen-up, so that the repeated file still has one set-up and one end.
    start = data.index(b"SP1;")
    end = data.rindex(b"PUSP0;")
    head, body, tail = data[:start], data[start:end], data[end:]
    # Megabytes of 10^6 bytes: 60 gives the body 50 times, 60.75 MB.
    target = int(args.mb * 1e6)
    repeats = max(1, math.ceil((target - len(head) - len(tail)) / len(body)))
    with open(args.output, "wb") as f:
        f.write(head)
        for _ in range(repeats):
            f.write(body)
        f.write(tail)


if __name__ == "__main__":
    main()
