#!/usr/bin/env bash
# GDI's pictures of our metafiles against EmfRenderer's. The Linux
# converter turns the plots of tests/windows/data/pixels into metafiles
# (the Windows core writes the same bytes, and one set of files means both
# sides play exactly the same records); play_to_bmp.exe plays them through
# GDI under Wine into BMP files; pixel_compare renders them with cairo at
# the same size, compares, prints a table and fails when they disagree.
#
#   pixels_test.sh LINUX_BUILD WINDOWS_BUILD OUT_DIR
#
# Needs a private WINEPREFIX (scripts/windows/under-wine.sh runs it).
set -euo pipefail
host=$1 win=$2 out=$3
here=$(cd "$(dirname "$0")" && pwd)
data="$here/../data/pixels"
tessella="$host/tessella" compare="$host/tests/windows/pixels/pixel_compare"
player="$win/tests/windows/pixels/play_to_bmp.exe" exporter="$win/tests/windows/pixels/export_to_bmp.exe"
for f in "$tessella" "$compare" "$player" "$exporter"; do
  [[ -x "$f" || -e "$f" ]] || { echo "pixels: $f is missing" >&2; exit 1; }
done
[[ -n "${WINEPREFIX:-}" ]] || { echo "pixels: needs WINEPREFIX" >&2; exit 1; }

start=$SECONDS
rm -rf "$out"
mkdir -p "$out/emf" "$out/gdi" "$out/cairo" "$out/config" "$out/gdi-export" "$out/cairo-export"
# Default settings, whatever the user's are; the stroke-font labels take a
# set of their own.
export XDG_CONFIG_HOME="$out/config"
"$tessella" settings set --set Strokes DrawChars on >/dev/null
# Besides our own plots, two of other programs': gnuplot's (hpgl) and
# pstoedit's (hpgl2, with rotated text).
"$tessella" -Q -B -O:"$out/emf" "$data"/{lines,fills,curves,clipping,labels_truetype,dashes,gnuplot,pstoedit}.plt
"$tessella" -Q -B --set Strokes -O:"$out/emf" "$data/labels_stroke.plt"

emfs=()
for name in lines fills curves clipping labels_stroke labels_truetype gnuplot pstoedit; do
  emfs+=("$(winepath -w "$out/emf/$name.emf")")
done
wine "$player" 800 "$(winepath -w "$out/gdi")" "${emfs[@]}" </dev/null
# The dashes at a size where a logical unit (0.1 mm) is a pixel: the frame's
# width in 0.01 mm, over ten (see pixel_compare_rules.h).
frame=$("$tessella" --dump "$out/emf/dashes.emf" | sed -n '1s/.* frame=(\(-*[0-9]*\),-*[0-9]*,\(-*[0-9]*\),.*/\1 \2/p')
read -r left right <<<"$frame"
wine "$player" $(((right - left + 5) / 10)) "$(winepath -w "$out/gdi")" "$(winepath -w "$out/emf/dashes.emf")" </dev/null

status=0
"$compare" "$out/gdi" "$out/cairo" "$out"/emf/{lines,fills,curves,clipping,labels_stroke,dashes}.emf \
  --text "$out/emf/labels_truetype.emf" --text "$out/emf/gnuplot.emf" --text "$out/emf/pstoedit.emf" ||
  status=$?
# The Windows program's BMP export (GDI into the pens' palette) against the
# Linux export (cairo, then the same palette) of the same metafiles.
shapes=()
for name in lines fills curves clipping labels_stroke; do
  shapes+=("$(winepath -w "$out/emf/$name.emf")")
done
wine "$exporter" 800 "$(winepath -w "$out/gdi-export")" "${shapes[@]}" </dev/null || status=1
"$compare" "$out/gdi-export" "$out/cairo-export" --exports "$out"/emf/{lines,fills,curves,clipping,labels_stroke}.emf ||
  status=1
echo "pixels: compared in $((SECONDS - start)) s"
exit $status
