#!/usr/bin/env bash
# Printing against a real print queue: a private cupsd with a cups-pdf queue
# (scripts/print/private-cups.sh), printed on by `tessella -PD` and
# `tessella -PM --printer`, the PDFs checked with pdftotext and pdftoppm
# (tests/cli/print_queue_posix_test.cpp). Where the queue cannot be set up
# it says why in one line and skips.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
source scripts/print/private-cups.sh

start=$SECONDS
work=$(mktemp -d "${TMPDIR:-/tmp}/tessella-print.XXXXXX")
chmod 755 "$work"  # cupsd's filters run as lp
cleanup() { private_cups_stop; rm -rf "$work"; }
trap cleanup EXIT
if ! private_cups_start "$work/cups"; then
  echo "print: SKIPPED, no private print queue: $private_cups_why"
  exit 0
fi
cmake --preset default >/dev/null
cmake --build --preset default -j 2 --target tessella test_cli >/dev/null
build/default/tests/test_cli --gtest_filter='PrintQueue.*' --gtest_brief=1
echo "print: the private queue's tests took $((SECONDS - start)) s"
