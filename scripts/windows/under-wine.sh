#!/usr/bin/env bash
# Runs the Windows tests of build folder $1 with ctest, inside the virtual
# display and the fresh Wine prefix that scripts/test.d/windows.sh made,
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
# Wine ends its desktop process soon after the last window closes, and the
# next window then waits ten seconds for a new one: a hidden window keeps it.
keeper="$build/tests/windows/desktop_keeper.exe"
[[ -e "$keeper" ]] && wine "$keeper" >/dev/null 2>&1 </dev/null &
ctest --test-dir "$build" --output-on-failure
status=$?
bash tests/windows/pixels/pixels_test.sh "$host" "$build" "$build/pixels" || status=1
wineserver -k >/dev/null 2>&1
exit $status
