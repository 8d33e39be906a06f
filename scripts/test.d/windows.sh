#!/usr/bin/env bash
# The Windows part of the test command: cross-builds Tessella.exe and the
# test programs with MinGW-w64 and runs them under Wine on a virtual display,
# in a fresh Wine prefix thrown away afterwards. Fails when any test fails.
# Without MinGW-w64, Wine or Xvfb it says so in one line and skips.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"

missing=()
for tool in i686-w64-mingw32-g++-posix i686-w64-mingw32-windres wine wineserver winepath \
            xvfb-run xwd xwininfo; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
command -v convert-im6.q16 >/dev/null 2>&1 || command -v magick >/dev/null 2>&1 ||
  missing+=(imagemagick)
if command -v dpkg-query >/dev/null 2>&1 &&
   [[ "$(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null)" != "install ok installed" ]]; then
  missing+=(wine32:i386)
fi
if ((${#missing[@]})); then
  echo "windows: SKIPPED, not installed: ${missing[*]} (scripts/setup.sh installs them)"
  exit 0
fi

start=$SECONDS
# The Linux converter and renderer that the pixel comparison holds GDI's
# pictures against (up to date already when scripts/test.sh built them).
cmake --preset default >/dev/null
cmake --build --preset default -j 2 --target tessella pixel_compare
bash scripts/windows/deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j 2
echo "windows: built in $((SECONDS - start)) s"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/tessella-wine.XXXXXX")
# Wine's printers come from the private print queue, started before Wine.
source scripts/print/private-cups.sh
queue=$(mktemp -d "${TMPDIR:-/tmp}/tessella-queue.XXXXXX")
chmod 755 "$queue"
cleanup() {
  WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
  private_cups_stop
  rm -rf "$queue"
}
trap cleanup EXIT
if ! private_cups_start "$queue/cups"; then
  echo "windows: printing tests without a print queue: $private_cups_why"
fi
# No .NET or HTML engine: nothing here needs them, and a fresh prefix would
# otherwise look for their installers.
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The screen of the virtual display is the reference device every metafile
# recorded under Wine gets: 1920 x 1080 at 96 dpi, 508 x 286 mm.
status=0
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" bash scripts/windows/under-wine.sh build/mingw build/default ||
  status=1
if [[ -n "${TESSELLA_CUPS_OUT:-}" ]]; then
  # What Wine printed, read back on this side.
  cmake --build --preset default -j 2 --target test_cli >/dev/null
  TESSELLA_WINE_PRINTED=1 build/default/tests/test_cli --gtest_filter='PrintQueue.PageFromWindows:PrintQueue.PageFromTheWindowsFrame' --gtest_brief=1 ||
    status=1
fi
echo "windows: built and tested in $((SECONDS - start)) s"
exit $status
