#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# is not yet on this machine. Idempotent: with everything present it only
# asks dpkg and returns. `--bench` adds what the benchmark against the peer
# runs (scripts/packages/extra/bench.txt).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here"/packages/*.txt)
if [[ "${1:-}" == "--bench" ]]; then lists+=("$here"/packages/extra/bench.txt); fi
wanted=()
for list in "${lists[@]}"; do
  while read -r pkg _; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    wanted+=("$pkg")
  done < "$list"
done
missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}" >&2
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Further set-up steps (Wine for the Windows tests, ...); none is fatal.
for hook in "$here"/setup.d/*.sh; do
  if [[ -e "$hook" ]]; then bash "$hook"; fi
done
