#!/usr/bin/env bash
# Converts one generated drawing twice, written as PU/PD/PA and as Polyline
# Encoded, and prints for each: input size, CPU time and rate in MB/s of
# input for a full conversion and for a measure-only run (-E: reading,
# decoding and interpreting without writing the metafile), and the points
# converted per second.
#   bench/pe_vs_pa.sh [POLYLINES]   (default 300000, about 67 MB as PA/PD)
set -euo pipefail
count=${1:-300000}
source "$(dirname "$0")/common.sh"
python3 "$root/bench/gen_plot.py" "$work/pa.plt" --count "$count"
python3 "$root/bench/gen_plot.py" "$work/pe.plt" --count "$count" --pe
python3 - "$bin" "$work" <<'PY'
import os, resource, subprocess, sys

binary, work = sys.argv[1], sys.argv[2]

def cpu_seconds(args):
    """Best CPU time (user + system) of three runs of the converter."""
    best = None
    for _ in range(3):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        proc = subprocess.run([binary] + args, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if proc.returncode != 0:
            sys.stderr.write(proc.stderr.decode(errors="replace"))
            sys.exit(1)
        t = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        best = t if best is None else min(best, t)
    return best

points = None
print(f"{'form':6} {'input MB':>9} {'metafile MB':>12} {'full s':>7} {'MB/s':>7} "
      f"{'Mpoints/s':>10} {'-E s':>6} {'-E MB/s':>8}")
for form in ("pa", "pe"):
    plot = os.path.join(work, form + ".plt")
    size = os.path.getsize(plot) / 1048576
    full = cpu_seconds([plot])
    emf = os.path.getsize(os.path.join(work, form + ".emf")) / 1048576
    measure = cpu_seconds(["-E", plot])
    if points is None:
        # Every pair of numbers after PD is one point.
        with open(plot, "rb") as f:
            points = sum(chunk.count(b",") for chunk in iter(lambda: f.read(1 << 20), b"")) / 2
    print(f"{form:6} {size:9.1f} {emf:12.1f} {full:7.3f} {size / full:7.1f} "
          f"{points / full / 1e6:10.1f} {measure:6.3f} {size / measure:8.1f}")
PY
