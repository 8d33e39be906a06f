#!/usr/bin/env bash
# Times the export of a large metafile as a 2,000 x 1,400 PNG (and as PDF)
# through `tessella export`. TESSELLA names the program (default: the
# normal build's); RUNS the number of timed runs (default 3).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tessella=${TESSELLA:-$root/build/default/tessella}
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$root/bench/render_make_emf.py" "$work/big.emf"
best=""
for ((i = 1; i <= runs; i++)); do
  start=$(date +%s.%N)
  "$tessella" export "$work/big.emf" --png --width 2000 --height 1400 -o "$work/big.png"
  end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc)
  echo "run $i: PNG 2000 x 1400 in ${t} s"
  if [[ -z "$best" ]] || (($(echo "$t < $best" | bc))); then best=$t; fi
done
echo "best: ${best} s ($(stat -c %s "$work/big.png") bytes of PNG)"
start=$(date +%s.%N)
"$tessella" export "$work/big.emf" --pdf -o "$work/big.pdf"
end=$(date +%s.%N)
echo "PDF: $(echo "$end - $start" | bc) s ($(stat -c %s "$work/big.pdf") bytes)"
