#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, with every
# compiler warning an error, then the same suite under AddressSanitizer and
# UndefinedBehaviorSanitizer. Extra suites (fuzz smoke runs, the Windows
# build under Wine) hook in through scripts/test.d/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)

echo "== normal build (every warning an error)"
cmake --preset werror >/dev/null
cmake --build --preset werror -j "$jobs"
ctest --preset werror -j "$jobs"

echo "== ASan + UBSan build"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

for extra in "$root"/scripts/test.d/*.sh; do
  [[ -e "$extra" ]] || continue
  echo "== $(basename "$extra" .sh)"
  bash "$extra"
done
