#!/usr/bin/env bash
# A short run of every fuzz target, so that a regression in a reader of
# outside data shows in every test run. Longer runs: scripts/fuzz.sh 1800
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if ! command -v clang++ >/dev/null; then
  echo "fuzz: skipped (clang is not installed)"
  exit 0
fi
# A fresh corpus and a fixed seed: the same inputs in every run, so that the
# result says something about the change, not about luck.
rm -rf "$root/build/fuzz/corpus"
TESSELLA_FUZZ_SEED=${TESSELLA_FUZZ_SEED:-1} "$root/scripts/fuzz.sh" "${TESSELLA_FUZZ_SECONDS:-20}"
