#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 20) with ASan and UBSan.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
# Corpora grow under build/fuzz/corpus/<target>/ (seeded from the tests'
# data); a crash leaves its input in build/fuzz/findings/<target>/, to be
# fixed and then kept under tests/data/fuzz/<target>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-20}
# A fixed seed (TESSELLA_FUZZ_SEED) makes a run repeatable: the test
# command's short run explores the same inputs every time.
seed_flag=()
[[ -n "${TESSELLA_FUZZ_SEED:-}" ]] && seed_flag=(-seed="$TESSELLA_FUZZ_SEED")
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc 2>/dev/null || echo 2)"
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=($(ls build/fuzz/tests/fuzz/ | sed -n 's/^fuzz_\(.*\)$/\1/p'))
fi
status=0
for t in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$t
  findings=build/fuzz/findings/$t
  mkdir -p "$corpus" "$findings"
  seeds=()
  [[ -d tests/data/fuzz/$t ]] && seeds+=(tests/data/fuzz/$t)
  [[ -d tests/data/seeds/$t ]] && seeds+=(tests/data/seeds/$t)
  # The metafile readers start from the metafiles the tests make.
  case $t in emf_render|metafile_load) seeds+=(tests/data/seeds/emf_reader) ;; esac
  log=build/fuzz/$t.log
  if ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$root/tests/lsan.supp \
     UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
     "build/fuzz/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -max_len=65536 -artifact_prefix="$findings/" -print_final_stats=1 "${seed_flag[@]}" \
       "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "fuzz $t: ${runs:-?} runs in ${seconds}s, no findings"
  else
    echo "fuzz $t: FINDING (see $log and $findings/)"
    tail -30 "$log"
    status=1
  fi
done
exit $status
