#!/usr/bin/env bash
# Converts one corpus with two builds and compares every output byte: the
# metafiles, pictures and logs they write (SOURCE_DATE_EPOCH fixed), what
# they print and their exit status, under several switch sets. The corpus:
# the examples, the interpreter's seeds and fuzz regressions, the hostile
# inputs, the benchmark's plots (small), and the producers' plots when
# gnuplot, pstoedit and plotutils are installed. Speed work must leave every
# byte as it was.
#   bench/same_output.sh BEFORE [AFTER]   (AFTER: this tree's build)
# Prints one line per difference and a count; exits 1 on any difference.
set -euo pipefail
before=$(realpath "${1:?usage: same_output.sh BEFORE [AFTER]}")
source "$(dirname "$0")/common.sh"
after=$(realpath "${2:-$bin}")
corpus="$work/corpus"
mkdir -p "$corpus"
for f in "$root"/examples/*.plt; do cp "$f" "$corpus/example-$(basename "$f")"; done
cp "$root"/tests/data/seeds/interpreter/* "$corpus/"
for f in "$root"/tests/data/fuzz/interpreter/*; do cp "$f" "$corpus/fuzz-$(basename "$f").plt"; done
python3 "$root/bench/gen_hostile.py" "$work/hostile" 65536 >/dev/null
for f in "$work"/hostile/*.plt; do cp "$f" "$corpus/hostile-$(basename "$f")"; done
python3 "$root/bench/gen_surface.py" "$corpus/bench-surface.plt" --mb 2.5 2>/dev/null
python3 "$root/bench/gen_plot.py" "$corpus/bench-polylines.plt" --mb 2
python3 "$root/bench/gen_plot.py" "$corpus/bench-pe.plt" --mb 1 --pe
python3 "$root/bench/gen_plot.py" "$corpus/bench-mixed.plt" --mb 1 --mixed
if bash "$root/tests/producers/corpus.sh" "$before" "$work/producers" >/dev/null 2>&1; then
  for f in "$work"/producers/*/*.plt; do
    [[ -e "$f" ]] && cp "$f" "$corpus/producer-$(basename "$(dirname "$f")")-$(basename "$f")"
  done
fi
python3 - "$before" "$after" "$work" <<'PY'
import hashlib, os, shutil, subprocess, sys

before, after, work = sys.argv[1:4]
corpus = os.path.join(work, "corpus")
# Switch sets that reach the transforms, the scale, the page and the
# options a run may take; the large benchmark plots get the first two only.
SWITCHES = [[], ["-E"], ["-RO:90"], ["-S:37"], ["-MX", "-MY"], ["-F"], ["-A3", "-NTGL"],
            ["-RO:270", "-S:250"], ["-WPNG:300"]]
env = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")

def outputs(binary, plot, switches):
    out = os.path.join(work, "out")
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    env["TESSELLA_CONFIG_DIR"] = os.path.join(work, "config")
    shutil.rmtree(env["TESSELLA_CONFIG_DIR"], ignore_errors=True)
    os.makedirs(env["TESSELLA_CONFIG_DIR"])
    proc = subprocess.run([binary, "-B", "-Q"] + switches + ["-O:" + out, plot], env=env,
                          capture_output=True, timeout=300)
    seen = {"status": str(proc.returncode), "stdout": proc.stdout.replace(binary.encode(), b"BIN"),
            "stderr": proc.stderr.replace(binary.encode(), b"BIN")}
    for name in sorted(os.listdir(out)):
        with open(os.path.join(out, name), "rb") as f:
            seen[name] = hashlib.sha256(f.read()).hexdigest()
    return seen

files = sorted(os.listdir(corpus))
differences = runs = 0
for name in files:
    plot = os.path.join(corpus, name)
    sets = SWITCHES[:2] if os.path.getsize(plot) > 1500000 else SWITCHES
    for switches in sets:
        a, b = outputs(before, plot, switches), outputs(after, plot, switches)
        runs += 1
        for key in sorted(set(a) | set(b)):
            if a.get(key) != b.get(key):
                differences += 1
                print(f"differs: {name} {' '.join(switches) or '(no switches)'}: {key}")
print(f"{len(files)} plots, {runs} conversions each: {differences} differences")
sys.exit(1 if differences else 0)
PY
