#!/usr/bin/env bash
# Runs the Windows tests of build folder $1 with ctest, inside the virtual
# display and the fresh Wine prefix that scripts/test.d/windows.sh made
# (the comparison of whole conversions with GDI's records shows its table),
# then compares GDI's pictures of our metafiles with those of the Linux
# build folder $2.
set -uo pipefail
build=$1 host=$2
# A persistent server and the prefix's own processes (desktop, services),
# started here with their output away from ctest: a test that started them
# would leave them holding its output pipe, and ctest would wait for them.
wineserver -p >/dev/null 2>&1 </dev/null
wineboot -i >/dev/null 2>&1 </dev/null
# Without a window manager, Wine waits two seconds for every managed window
# that closes (each message box); unmanaged windows close at once.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# A test program that crashes prints its backtrace and fails at once; on a
# display Wine would otherwise wait on its crash dialog until the timeout.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# Wine ends its desktop process soon after the last window closes, and the
# next window then waits ten seconds for a new one: a hidden window keeps it.
keeper="$build/tests/windows/desktop_keeper.exe"
[[ -e "$keeper" ]] && wine "$keeper" >/dev/null 2>&1 </dev/null &
ctest --test-dir "$build" --output-on-failure -E '^test_windows_conversion_vs_gdi$'
status=$?
# GDI's records of whole conversions against ours, with its table per plot.
conversions=$(ctest --test-dir "$build" -R '^test_windows_conversion_vs_gdi$' -V 2>&1)
converted=$?
echo "conversions: GDI's records against ours"
sed -n 's/^[0-9]*: //p' <<<"$conversions" |
  grep -v '^\[ *\(RUN\|OK\|-*\|=*\) *\]\|^Running main\|^Note: \|^Test command: \|^Working Directory: \|^Test timeout \|^$' ||
  true
if ((converted)); then
  echo "test_windows_conversion_vs_gdi FAILED"
  status=1
fi
bash tests/windows/pixels/pixels_test.sh "$host" "$build" "$build/pixels" || status=1
wineserver -k >/dev/null 2>&1
exit $status
