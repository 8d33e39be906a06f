#!/usr/bin/env bash
# Converts each of the costliest plot files we know (bench/gen_hostile.py)
# and prints its size, CPU time, time per input byte and metafile size; the
# last line is the worst rate, the bound a run of that size stays within.
#   bench/hostile_inputs.sh [SIZE_BYTES]   (default 1 MiB per file)
set -euo pipefail
size=${1:-1048576}
source "$(dirname "$0")/common.sh"
python3 "$root/bench/gen_hostile.py" "$work" "$size"
python3 - "$bin" "$work" <<'PY'
import glob, os, resource, subprocess, sys

binary, work = sys.argv[1], sys.argv[2]
# With stroke-font labels, to take the costlier of the two label paths.
env = dict(os.environ)
print(f"{'input':28} {'KB':>6} {'CPU s':>7} {'us/byte':>8} {'metafile KB':>12}  exit")
worst = (0, "")
for plot in sorted(glob.glob(os.path.join(work, "*.plt"))):
    name = os.path.basename(plot)[:-4]
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    proc = subprocess.run([binary, plot], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          env=env, timeout=600)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    size = os.path.getsize(plot)
    emf = os.path.join(work, name + ".emf")
    out = os.path.getsize(emf) / 1024 if os.path.exists(emf) else 0
    rate = cpu / size * 1e6
    worst = max(worst, (rate, name))
    print(f"{name:28} {size / 1024:6.0f} {cpu:7.3f} {rate:8.3f} {out:12.0f}  {proc.returncode}")
print(f"worst: {worst[0]:.3f} us per input byte ({worst[1]})")

# Rendering: a metafile of nothing but fills covering the whole picture is
# the costliest per byte to draw; its time grows with records x pixels.
plot = os.path.join(work, "fills.plt")
with open(plot, "w") as f:
    f.write("IN;SP1;PU0,0;PD10000,7070;" + "PU0,0;RA10000,7070;" * 2000)
subprocess.run([binary, plot], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
emf = os.path.join(work, "fills.emf")
for w, h in ((800, 566), (2000, 1414), (4000, 2828)):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run([binary, "export", emf, "--png", "--width", str(w), "--height", str(h),
                    "-o", os.path.join(work, "fills.png")], check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    size = os.path.getsize(emf)
    print(f"render {w}x{h}: {size / 1024:.0f} KB, 2000 full fills, {cpu:.2f} s CPU, "
          f"{cpu / size * 1e6:.1f} us per metafile byte, {cpu / 2000 / (w * h) * 1e9:.2f} ns per pixel and fill")
PY
