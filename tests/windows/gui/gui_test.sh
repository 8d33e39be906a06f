#!/usr/bin/env bash
# Runs the GUI driver against Tessella.exe on the current (virtual) display,
# with Wine's error channels on: the scenarios must pass, and no "err:" line
# may come from the program or the driver. Needs DISPLAY and WINEPREFIX.
#   gui_test.sh DRIVER.exe TESSELLA.exe PROBE.dll EXAMPLES SHOTS [driver and gtest args]
set -uo pipefail
driver=$1 exe=$2 probe=$3 examples=$4 shots=$5
shift 5
[[ -n "${DISPLAY:-}" && -n "${WINEPREFIX:-}" ]] || { echo "gui: needs DISPLAY and WINEPREFIX" >&2; exit 1; }
mkdir -p "$shots"
out=$(mktemp "${TMPDIR:-/tmp}/tessella-gui.XXXXXX")
# A crash ends the process at once instead of waiting in a debugger.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f \
  >/dev/null 2>&1
start=$SECONDS
WINEDEBUG=err+all timeout 900 wine "$driver" --exe="$exe" --probe="$probe" --examples="$examples" \
  --shots="$shots" "$@" >"$out" 2>&1 </dev/null
status=$?
grep -v '^[0-9a-f]*:fixme:' "$out"
errors=$(grep -E '^[0-9a-f]*:err:' "$out" || true)
rm -f "$out"
if [[ -n "$errors" ]]; then
  echo "gui: Wine reported errors while the scenarios ran:"
  echo "$errors"
  status=1
fi
echo "gui: scenarios ran in $((SECONDS - start)) s; screenshots in $shots"
exit $status
