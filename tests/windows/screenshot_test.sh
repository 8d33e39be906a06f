#!/usr/bin/env bash
# Starts Tessella.exe under Wine on the current (virtual) display with a plot
# of a red 200 x 150 mm rectangle, takes a screenshot of the whole display and
# checks that the drawing is on it: inside the frame's white client area a
# red outline of the plot's 4:3 proportions, fitted to the client and
# centred.
# The closing message box is blanked out first. Needs DISPLAY and a private
# WINEPREFIX (every process in it is ended at the end).
set -euo pipefail
exe=$1 plot=$2 out=$3
im=$(command -v convert-im6.q16 || command -v magick || true)
[[ -n "$im" ]] || { echo "screenshot: ImageMagick is missing" >&2; exit 1; }
[[ -n "${DISPLAY:-}" && -n "${WINEPREFIX:-}" ]] || { echo "screenshot: needs DISPLAY and WINEPREFIX" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tessella-shot.XXXXXX")
cleanup() { wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
cp "$plot" "$work/box.plt"
mkdir -p "$out"
shot="$out/tessella_screenshot.png"

wine "$exe" "$(winepath -w "$work/box.plt")" >/dev/null 2>&1 &

# The frame's title names the plot once the run has handed it the drawing.
frame=""
for ((i = 0; i < 300; i++)); do
  frame=$(xwininfo -root -tree 2>/dev/null | grep 'box.plt - Tessella"' || true)
  [[ -n "$frame" ]] && break
  sleep 0.1
done
[[ -n "$frame" ]] || { echo "screenshot: no Tessella window with the plot's name appeared" >&2; exit 1; }
sleep 1.5
windows=$(xwininfo -root -tree)
xwd -root -silent >"$work/shot.xwd"
"$im" "$work/shot.xwd" "$shot"

[[ -s "$work/box.emf" ]] || { echo "screenshot: no metafile beside the plot" >&2; exit 1; }
[[ -s "$work/box.log" ]] || { echo "screenshot: no log beside the plot" >&2; exit 1; }

geometry() { grep -o '[0-9]*x[0-9]*+[0-9]*+[0-9]*' <<<"$1" | head -n 1 | tr 'x+' '  '; }
read -r fw fh fx fy < <(geometry "$(grep 'box.plt - Tessella"' <<<"$windows")")

# Message boxes (captioned exactly "Tessella") are painted over white.
blank=()
while read -r line; do
  [[ -n "$line" ]] || continue
  read -r bw bh bx by < <(geometry "$line")
  blank+=(-draw "rectangle $bx,$by,$((bx + bw - 1)),$((by + bh - 1))")
done < <(grep '"Tessella":' <<<"$windows" || true)
"$im" "$shot" -fill white "${blank[@]}" "$work/clean.png"

# Pixels of one row or column of the frame, as "index hex" lines.
pixels() { "$im" "$work/clean.png" -crop "$1" +repage -depth 8 txt:- |
           awk -F'[,: ]+' 'NR > 1 { print ($1 > $2 ? $1 : $2), $0 ~ /#FFFFFF/ }'; }
# The client area is the frame's one long white run: vertically along a
# column near its left edge, horizontally from the first to the last run of
# three or more white pixels across its middle row.
read -r top bottom < <(pixels "1x${fh}+$((fx + 10))+${fy}" | awk '
  { if ($2) { if (!run) s = $1; run++; if (run > best) { best = run; bs = s; be = $1 } } else run = 0 }
  END { print bs, be }')
read -r left right < <(pixels "${fw}x1+${fx}+$((fy + fh / 2))" | awk '
  { if ($2) { if (!run) s = $1; run++; if (run == 3 && first == "") first = s; if (run >= 3) last = $1 } else run = 0 }
  END { print first, last }')
[[ -n "$top" && -n "$bottom" && -n "$left" && -n "$right" ]] ||
  { echo "screenshot: no white client area found in the frame" >&2; exit 1; }
cw=$((right - left + 1)) ch=$((bottom - top + 1))

# Ink: whatever is not white in the client area.
"$im" "$work/clean.png" -crop "${cw}x${ch}+$((fx + left))+$((fy + top))" +repage \
  -fuzz 10% -fill black +opaque white -negate "$work/ink.png"
read -r ink < <("$im" "$work/ink.png" -format '%[fx:round(mean*w*h)]\n' info:)
read -r iw ih ix iy < <("$im" "$work/ink.png" -trim -format '%w %h %X %Y\n' info: 2>/dev/null | tr -d '+')
read -r red < <("$im" "$work/clean.png" -crop "${cw}x${ch}+$((fx + left))+$((fy + top))" +repage \
  -fuzz 10% -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' -format '%[fx:round(mean*w*h)]\n' info:)
echo "screenshot: client ${cw}x${ch}; drawing ${iw}x${ih} at +${ix}+${iy}, $ink ink pixels ($red red); saved as $shot"

fail=0
((iw >= 200)) || { echo "screenshot: the drawing is missing or too small" >&2; fail=1; }
((iw * 3 * 100 >= ih * 4 * 97 && iw * 3 * 100 <= ih * 4 * 103)) ||
  { echo "screenshot: the drawing is not 4:3" >&2; fail=1; }
# Fitted: it nearly fills the client's height or width (the metafile's
# frame leaves a small margin around the ink).
((ih * 100 >= ch * 95 || iw * 100 >= cw * 95)) || { echo "screenshot: the drawing is not fitted to the window" >&2; fail=1; }
# Centred.
gapx=$((cw - iw - 2 * ix)) gapy=$((ch - ih - 2 * iy))
((gapx >= -3 && gapx <= 3 && gapy >= -3 && gapy <= 3)) ||
  { echo "screenshot: the drawing is not centred" >&2; fail=1; }
# Drawn with pen 2, red by default.
((red * 10 >= ink * 9)) || { echo "screenshot: the drawing is not red" >&2; fail=1; }
# An outline: at least its perimeter once, far less than its area.
((ink >= (iw + ih) * 2 * 9 / 10 && ink < iw * ih / 4)) ||
  { echo "screenshot: $ink ink pixels do not make an outline of ${iw}x${ih}" >&2; fail=1; }
exit $fail
