# Sourced by the benchmark scripts: sets root, bin (the normal build's
# tessella, built when missing) and work (a temporary folder removed on exit).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin="$root/build/default/tessella"
if [[ ! -x "$bin" ]]; then
  cmake -S "$root" --preset default >/dev/null
  (cd "$root" && cmake --build --preset default --target tessella -j "$(nproc)")
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
