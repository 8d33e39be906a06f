#!/usr/bin/env bash
# Bitmap exports drawn by one thread and by two, compared pixel for pixel
# (as BMP, whose pixels are stored as they are), and timed (wall and CPU
# seconds, best of RUNS): the gnuplot surface at 60.75 MB (a 99 MB
# metafile) and the plots of the Windows pixel tests, at 300, 1000 and
# 2000 pixels wide. With BEFORE=BIN, BIN's one-thread pictures are compared
# too (an older build, for pictures that must not change).
#   bench/render_threads.sh
# TESSELLA names the program to measure; RUNS the timed runs (default 3).
set -euo pipefail
source "$(dirname "$0")/common.sh"
bin=${TESSELLA:-$bin}
runs=${RUNS:-3}
before=${BEFORE:-}

echo "tessella: $bin${before:+, before: $before}"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$root/bench/gen_surface.py" --mb 60.75 "$work/surface.plt" >/dev/null
"$bin" -Q -o "$work/surface.emf" "$work/surface.plt"
rm -f "$work/surface.plt"
metafiles=("$work/surface.emf")
for plot in "$root"/tests/windows/data/pixels/*.plt; do
  name=$(basename "$plot" .plt)
  "$bin" -Q -o "$work/$name.emf" --log "$work/$name.log" "$plot"
  metafiles+=("$work/$name.emf")
done

# Exports `emf` at `width` with `threads` threads (BIN when given) into OUT.
export_bmp() {
  local emf=$1 width=$2 threads=$3 out=$4 program=${5:-$bin}
  TESSELLA_RENDER_THREADS=$threads "$program" export "$emf" --bmp --width "$width" -o "$out"
}

# The pixels of two BMPs that differ (their headers are the same size).
differing() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
a, b = (open(p, "rb").read() for p in sys.argv[1:3])
off = struct.unpack("<I", a[10:14])[0]
if len(a) != len(b) or a[:off] != b[:off]:
    print("different sizes")
else:
    print(sum(x != y for x, y in zip(a[off:], b[off:])))
PY
}

bad=0
for emf in "${metafiles[@]}"; do
  for width in 300 1000 2000; do
    export_bmp "$emf" "$width" 1 "$work/one.bmp"
    export_bmp "$emf" "$width" 2 "$work/two.bmp"
    d=$(differing "$work/one.bmp" "$work/two.bmp")
    line="$(basename "$emf") at $width px: two threads differ in $d pixels"
    if [[ -n "$before" ]]; then
      export_bmp "$emf" "$width" 1 "$work/before.bmp" "$before"
      b=$(differing "$work/before.bmp" "$work/one.bmp")
      line+=", the build before in $b"
      [[ "$b" == 0 ]] || bad=1
    fi
    echo "$line"
    [[ "$d" == 0 ]] || bad=1
  done
done

# Best wall seconds, best CPU seconds and the largest peak (MiB) of RUNS
# exports of the surface as PNG at 2000 px.
timed() {
  local threads=$1 program=$2 out all
  out=$(mktemp -p "$work")
  all=$(mktemp -p "$work")
  for ((i = 0; i < runs; i++)); do
    TESSELLA_RENDER_THREADS=$threads /usr/bin/time -f "%e %U %S %M" -o "$out" \
      "$program" export "$work/surface.emf" --png --width 2000 -o "$work/s.png"
    cat "$out" >>"$all"
  done
  awk 'NR == 1 || $1 < w {w = $1} NR == 1 || $2 + $3 < c {c = $2 + $3} $4 > m {m = $4}
       END {printf "%.2f %.2f %.1f\n", w, c, m / 1024}' "$all"
}
if [[ -x /usr/bin/time ]]; then
  for threads in 1 2; do
    read -r w c m < <(timed "$threads" "$bin")
    echo "surface as PNG, 2000 px, $threads thread(s): $w s wall, $c s CPU, peak $m MiB (best of $runs)"
  done
  if [[ -n "$before" ]]; then
    read -r w c m < <(timed 1 "$before")
    echo "surface as PNG, 2000 px, the build before: $w s wall, $c s CPU, peak $m MiB (best of $runs)"
  fi
fi
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $bad
