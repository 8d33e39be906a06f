#!/usr/bin/env bash
# The producer corpus: gnuplot's, pstoedit's and plotutils' plots converted
# by the command line built by scripts/test.sh; fails when any log holds an
# error. Skipped in one line when the producers are not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
cmake --build --preset default -j 2 --target tessella >/dev/null
bash tests/producers/corpus.sh build/default/tessella
