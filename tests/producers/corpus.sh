#!/usr/bin/env bash
# Plots written by programs that know nothing of ours: gnuplot (hpgl, pcl5),
# pstoedit (hpgl, hpgl2) and GNU plotutils (graph -T hpgl and -T pcl, also
# as HP-GL/1). Each plot is converted, and the errors in its log are counted
# per producer. Fails when any log holds an error: every construct these
# producers write must convert.
#
#   tests/producers/corpus.sh TESSELLA [OUT-DIR]
#
# OUT-DIR keeps the plots, metafiles and logs (default: a temporary folder,
# removed afterwards).
set -euo pipefail
tessella=${1:?usage: corpus.sh TESSELLA [OUT-DIR]}
tessella=$(cd "$(dirname "$tessella")" && pwd)/$(basename "$tessella")
missing=()
for tool in gnuplot pstoedit gs graph; do command -v "$tool" >/dev/null 2>&1 || missing+=("$tool"); done
if ((${#missing[@]})); then
  echo "producers: SKIPPED, not installed: ${missing[*]} (scripts/setup.sh installs them)"
  exit 0
fi
if [[ $# -ge 2 ]]; then
  out=$2
  mkdir -p "$out"
else
  out=$(mktemp -d "${TMPDIR:-/tmp}/tessella-producers.XXXXXX")
  trap 'rm -rf "$out"' EXIT
fi
out=$(cd "$out" && pwd)
src="$out/src"
mkdir -p "$src" "$out/gnuplot" "$out/pstoedit" "$out/plotutils"
# Default settings, whatever the user running the tests has set.
export TESSELLA_CONFIG_DIR="$out/config"
mkdir -p "$TESSELLA_CONFIG_DIR"
start=$SECONDS

# ---- gnuplot: lines, points, dashes, labels, fills, boxes, a surface.
cat >"$src/lines.gp" <<'GP'
set title "Damped oscillation"
set xlabel "time (s)"
set ylabel "amplitude"
set grid
set key box
plot [0:10] exp(-x/3)*cos(3*x) title "signal" with lines, exp(-x/3) title "envelope" dashtype 2, \
  sin(x)/2 with linespoints pointtype 6, cos(x)/3 with points pointtype 3
GP
cat >"$src/fills.gp" <<'GP'
set title "Filled curves and boxes"
set style fill solid 0.4 border
set label "peak" at 1.5,1.1 rotate by 30
set arrow from 4,0.8 to 3.2,0.5
plot [0:6] sin(x)+0.2 with filledcurves y1=0 title "area", \
  '-' using 1:2 with boxes fill pattern 2 title "bars", \
  '-' using 1:2 with boxes fill solid 0.8 title "solid"
1 0.3
2 0.6
3 0.4
e
4 0.5
5 0.2
e
GP
cat >"$src/surface.gp" <<'GP'
set title "A surface"
set hidden3d
set isosamples 20
set xlabel "x"
set ylabel "y"
set zlabel "z" rotate by 90
splot [-2:2][-2:2] exp(-x*x-y*y) title "gauss"
GP
cat >"$src/multi.gp" <<'GP'
set multiplot layout 1,2 title "Two plots"
set logscale y
plot [1:100] x**2 title "square" with lines lw 3, x**1.5 dashtype 3 lw 2
unset logscale
set polar
plot [0:2*pi] 1+cos(t) title "cardioid" with lines linetype 4
unset multiplot
GP
for gp in lines fills surface multi; do
  for term in hpgl pcl5; do
    gnuplot -e "set terminal $term; set output '$out/gnuplot/$gp-$term.plt'" "$src/$gp.gp" 2>/dev/null
  done
done

# ---- pstoedit: hand-made PostScript with rotated text, fills, curves and
# dashes, and gnuplot's own PostScript of the plots above.
cat >"$src/drawing.ps" <<'PS'
%!PS-Adobe-3.0
%%BoundingBox: 0 0 400 300
/Helvetica findfont 18 scalefont setfont
newpath 50 50 moveto 350 50 lineto 350 250 lineto 50 250 lineto closepath
gsave 0.8 0.9 1 setrgbcolor fill grestore 2 setlinewidth 0 0 0.6 setrgbcolor stroke
[6 3] 0 setdash 1 0 0 setrgbcolor newpath 60 60 moveto 340 240 lineto stroke [] 0 setdash
newpath 200 150 60 0 360 arc closepath 0 0.5 0 setrgbcolor stroke
newpath 80 200 moveto 120 280 160 120 200 200 curveto 0.5 0 0.5 setrgbcolor 3 setlinewidth stroke
gsave 100 100 translate 30 rotate 0 0 moveto 0 0 0 setrgbcolor (Rotated text) show grestore
gsave 300 80 translate 90 rotate 0 0 moveto (Up) show grestore
gsave 250 230 translate -45 rotate 0 0 moveto (Down) show grestore
70 220 moveto (Hello PS) show
newpath 260 100 moveto 300 100 lineto 280 140 lineto closepath 1 0.5 0 setrgbcolor fill
showpage
PS
cat >"$src/pages.ps" <<'PS'
%!PS-Adobe-3.0
%%Pages: 2
/Times-Roman findfont 24 scalefont setfont
%%Page: 1 1
72 72 moveto (First page) show 72 120 moveto 300 300 lineto stroke showpage
%%Page: 2 2
72 72 moveto (Second page) show newpath 200 200 50 0 360 arc fill showpage
PS
gnuplot -e "set terminal postscript color; set output '$src/lines-gnuplot.ps'" "$src/lines.gp" 2>/dev/null
gnuplot -e "set terminal postscript color; set output '$src/fills-gnuplot.ps'" "$src/fills.gp" 2>/dev/null
# Ghostscript's start takes most of the time: three at once.
for ps in drawing pages lines-gnuplot fills-gnuplot; do
  printf '%s\n' "hpgl $ps hpgl" "hpgl:-hpgl2 $ps hpgl2" "hpgl:-hpgl2 -pencolors 8 $ps pens"
done | while read -r driver; do
  name=${driver% *}
  printf '%s\0%s\0%s\0' "${name% *}" "$src/${name##* }.ps" "$out/pstoedit/${name##* }-${driver##* }.plt"
done | xargs -0 -n 3 -P 3 sh -c 'pstoedit -q -f "$0" "$1" "$2" >/dev/null 2>&1'


# ---- plotutils: graph with symbols, line modes, fills, fonts and titles.
awk 'BEGIN { for (x = 0; x <= 10; x += 0.5) printf "%g %g\n", x, sin(x) }' >"$src/sine.txt"
awk 'BEGIN { for (x = 1; x <= 100; x *= 1.5) printf "%g %g\n", x, x * x }' >"$src/power.txt"
awk 'BEGIN { for (t = 0; t <= 6.3; t += 0.1) printf "%g %g\n", cos(t) * (1 + t / 7), sin(t) * (1 + t / 7) }' >"$src/spiral.txt"
plot_graph() {  # name graph-arguments...
  local name=$1
  shift
  graph -T hpgl "$@" >"$out/plotutils/$name-hpgl.plt"
  graph -T pcl "$@" >"$out/plotutils/$name-pcl.plt"
  HPGL_VERSION=1 graph -T hpgl "$@" >"$out/plotutils/$name-hpgl1.plt"
}
plot_graph sine -L "Sine" -X "x" -Y "sin x" -m 2 -S 4 "$src/sine.txt"
plot_graph power -l x -l y -L "Powers" -F HersheySerif -m 3 -S 2 0.05 "$src/power.txt"
plot_graph spiral -C -W 0.01 -q 0.3 -m 1 --title-font-size 0.09 -L "Filled" "$src/spiral.txt"
plot_graph frame -g 3 -N x -Y "rotated" -Q --rotation 90 -m 0 -S 16 -S 5 "$src/sine.txt" -S 8 "$src/spiral.txt"

# ---- Convert, and count the log entries per producer.
fail=0
printf '%-10s %6s %7s %9s  %s\n' producer plots errors warnings "errors (distinct, first 5)"
for producer in gnuplot pstoedit plotutils; do
  dir="$out/$producer"
  n=0
  for f in "$dir"/*.plt; do
    [[ -s "$f" ]] || continue
    n=$((n + 1))
    "$tessella" -B -Q "$f" >/dev/null 2>&1 || { echo "producers: converting $f failed"; fail=1; }
  done
  errors=$(cat "$dir"/*.log 2>/dev/null | tr -d '\r' | grep -c '^Error' || true)
  warnings=$(cat "$dir"/*.log 2>/dev/null | tr -d '\r' | grep -c '^Warning' || true)
  distinct=$(cat "$dir"/*.log 2>/dev/null | tr -d '\r' | grep '^Error' | sed 's/ at offset 0x[0-9a-f]*//' |
             sort | uniq -c | sort -rn | head -5 | awk '{$1 = $1 "x"; print}' | paste -sd ';' - || true)
  printf '%-10s %6d %7d %9d  %s\n' "$producer" "$n" "$errors" "$warnings" "${distinct:--}"
  ((errors == 0)) || fail=1
  ((n > 0)) || { echo "producers: $producer wrote no plot"; fail=1; }
done
echo "producers: $((SECONDS - start)) s"
exit $fail
