#!/usr/bin/env bash
# Wine with 32-bit support for the Windows tests, and source entries so that
# scripts/windows/deps.sh can fetch libpng and libjpeg-turbo with
# `apt-get source`. Never fatal: a machine where this fails runs the Linux
# suites and skips the Windows part with a message.
set -uo pipefail

sudo=""
[[ $(id -u) -ne 0 ]] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
apt_get() { $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"; }

installed() {
  [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" == "install ok installed" ]]
}

src_list=/etc/apt/sources.list.d/tessella-deb-src.sources
need_update=0

# deb-src entries mirror the machine's own deb entries for its release, so
# no host name is written here.
if [[ ! -e "$src_list" ]]; then
  codename=$(. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
  entries=$(bash "$(dirname "$0")/../windows/deb-src-entries.sh" "$codename")
  if [[ -n "$entries" ]]; then
    printf '%s\n' "$entries" | $sudo tee "$src_list" >/dev/null
    need_update=1
  else
    echo "setup: windows: no Debian deb entries found to derive source entries from" >&2
  fi
fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386 && need_update=1
fi

if ! installed wine || ! installed wine32:i386; then
  need_update=1
fi
if ((need_update)); then
  apt_get update -qq || echo "setup: windows: apt-get update failed" >&2
fi

if ! installed wine || ! installed wine32:i386; then
  echo "setup: windows: installing wine wine32:i386" >&2
  if ! apt_get install -y -qq --no-install-recommends wine wine32:i386 >/dev/null; then
    echo "setup: windows: could not install Wine; the Windows tests will be skipped" >&2
  fi
fi
exit 0
