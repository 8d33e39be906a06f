#!/usr/bin/env bash
# Drawing large metafiles as PNG: rate and peak memory of the export of a
# ~99 MB metafile (and, with --1g, of a ~1 GB one), and plot -> PNG against
# the peer (hp2xx, when installed) at the peer's own pixel count.
#
# The plot is gnuplot's 200 x 200 hidden3d surface (`set terminal hpgl`),
# its body repeated; the metafiles are what tessella makes of it. All of it
# is written into a temporary folder and removed afterwards (--1g needs
# about 1.7 GB of disk for a while).
#   bench/render_memory.sh [--1g]
# TESSELLA names another tessella to measure (for example an older build).
set -euo pipefail
big=0
[[ "${1:-}" == "--1g" ]] && big=1
source "$(dirname "$0")/common.sh"
bin=${TESSELLA:-$bin}
if ! command -v gnuplot >/dev/null; then
  echo "render_memory: gnuplot is needed to make the plot (scripts/setup.sh installs it)" >&2
  exit 1
fi

gnuplot <<EOF
set terminal hpgl
set output "$work/surface1.plt"
set isosamples 200,200
set samples 200,200
set hidden3d
splot sin(sqrt(x*x+y*y))/sqrt(x*x+y*y)
EOF

# The plot with its body (between the scaling commands and the final pen
# up) repeated N times, on standard output.
plot() {
  python3 - "$work/surface1.plt" "$1" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
start = data.index(b"SR0.200000,0.400000;\n") + len(b"SR0.200000,0.400000;\n")
end = data.rindex(b"PUSP0;")
out = sys.stdout.buffer
out.write(data[:start])
for _ in range(int(sys.argv[2])):
    out.write(data[start:end])
out.write(data[end:])
PY
}

# Runs a command; prints its wall time in seconds and its peak memory in
# MiB. GNU time measures from a small process of its own; a Python parent
# would count its own size in the child's peak (the fork before exec).
measure() {
  local out
  out=$(mktemp -p "$work")
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f "%e %M" -o "$out" "$@" >/dev/null
    awk '{printf "%.2f %.1f\n", $1, $2 / 1024}' "$out"
  else
    python3 - "$@" <<'PY'
import resource, subprocess, sys, time
start = time.perf_counter()
proc = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL)
secs = time.perf_counter() - start
if proc.returncode != 0:
    sys.exit(1)
print(f"{secs:.2f} {resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024:.1f} (with Python's own size)")
PY
  fi
}

# Width and height of a PNG.
png_size() {
  python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' "$1"
}

# The width of an export of `metafile` with about `pixels` pixels, as the
# frame's proportions give it.
width_for() {
  python3 - "$1" "$2" <<'PY'
import math, struct, sys
head = open(sys.argv[1], "rb").read(40)
l, t, r, b = struct.unpack("<4i", head[24:40])
print(round(math.sqrt(int(sys.argv[2]) * (r - l) / (b - t))))
PY
}

# One export: "label: time, rate, peak".
export_png() {
  local emf=$1 width=$2 label=$3
  read -r secs peak < <(measure "$bin" export "$emf" --png --width "$width" -o "$work/out.png")
  read -r w h < <(png_size "$work/out.png")
  python3 -c 'import os,sys; mb=os.path.getsize(sys.argv[1])/1e6; s=float(sys.argv[2])
print(f"{sys.argv[3]}: {sys.argv[4]} x {sys.argv[5]} px in {s:.2f} s, {mb/s:.0f} MB/s of metafile, peak {float(sys.argv[6]):.1f} MiB")' \
    "$emf" "$secs" "$label" "$w" "$h" "$peak"
}

echo "tessella: $bin"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
plot 50 >"$work/surface.plt"
"$bin" -Q -o "$work/surface.emf" "$work/surface.plt"
printf 'plot %.1f MB, metafile %.1f MB\n' "$(echo "$(stat -c %s "$work/surface.plt") / 1000000" | bc -l)" \
  "$(echo "$(stat -c %s "$work/surface.emf") / 1000000" | bc -l)"

# The peer's pixel count: what hp2xx -m png makes of the plot; without the
# peer, the issue's figure of about 0.8 Mpx.
pixels=800000
if command -v hp2xx >/dev/null; then
  (cd "$work" && hp2xx -q -m png -f peer.png surface.plt >/dev/null 2>&1) || true
  if [[ -s "$work/peer.png" ]]; then
    read -r pw ph < <(png_size "$work/peer.png")
    pixels=$((pw * ph))
  fi
fi
peer_width=$(width_for "$work/surface.emf" "$pixels")

export_png "$work/surface.emf" 2000 "export 99 MB metafile, 2000 wide"
export_png "$work/surface.emf" "$peer_width" "export 99 MB metafile, peer's pixel count"

# Plot -> PNG, side by side.
rm -f "$work/surface.png"
read -r secs peak < <(measure "$bin" -Q -WPNG:"$peer_width" -O:"$work/t" "$work/surface.plt")
read -r tw th < <(png_size "$work/t/surface.png")
echo "plot -> PNG, tessella: $tw x $th px in $secs s, peak $peak MiB"
if command -v hp2xx >/dev/null; then
  read -r psecs ppeak < <(cd "$work" && measure hp2xx -q -m png -f peer.png surface.plt)
  echo "plot -> PNG, hp2xx:    ${pw} x ${ph} px in $psecs s, peak $ppeak MiB"
  echo "tessella is $(echo "scale=2; $psecs / $secs" | bc)x the peer's speed"
else
  echo "plot -> PNG, hp2xx: not installed"
fi
rm -rf "$work/t" "$work/surface.plt"

if ((big)); then
  # Streamed from the generator into the converter: the plot itself is
  # never on disk.
  plot 500 | "$bin" -Q -o "$work/huge.emf" -
  rm -f "$work/surface.emf"
  printf 'metafile %.1f MB\n' "$(echo "$(stat -c %s "$work/huge.emf") / 1000000" | bc -l)"
  export_png "$work/huge.emf" 2000 "export 1 GB metafile, 2000 wide"
  export_png "$work/huge.emf" "$peer_width" "export 1 GB metafile, peer's pixel count"
fi
