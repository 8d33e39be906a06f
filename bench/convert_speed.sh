#!/usr/bin/env bash
# Converts a generated plot of SIZE megabytes (default 32) and prints the
# input rate in MB/s and the peak memory of the conversion.
#   bench/convert_speed.sh [SIZE_MB] [generator options...]
set -euo pipefail
size=${1:-32}
shift || true
source "$(dirname "$0")/common.sh"
python3 "$root/bench/gen_plot.py" "$work/big.plt" --mb "$size" "$@"
python3 - "$bin" "$work/big.plt" <<'PY'
import os, resource, subprocess, sys, time
binary, plot = sys.argv[1], sys.argv[2]
size = os.path.getsize(plot)
start = time.perf_counter()
proc = subprocess.run([binary, plot], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
secs = time.perf_counter() - start
if proc.returncode != 0:
    sys.stderr.write(proc.stderr.decode(errors="replace"))
    sys.exit(1)
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
emf = os.path.getsize(os.path.splitext(plot)[0] + ".emf")
print(f"input: {size/1048576:.1f} MB, metafile: {emf/1048576:.1f} MB")
print(f"time: {secs:.2f} s, rate: {size/1048576/secs:.1f} MB/s, peak memory: {peak:.1f} MB")
PY
