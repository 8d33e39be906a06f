#!/usr/bin/env bash
# Runs one Windows test program under Wine for ctest. The output goes
# through a file: Wine may start its desktop process from the test, and that
# process would otherwise keep ctest's output pipe open, and ctest waiting,
# long after the test has ended.
out=$(mktemp "${TMPDIR:-/tmp}/tessella-wine-out.XXXXXX")
wine "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status
