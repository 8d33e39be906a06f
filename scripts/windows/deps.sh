#!/usr/bin/env bash
# Cross-builds the Windows libraries the MinGW build needs and Debian has no
# MinGW package of: libpng and libjpeg-turbo from Debian's source packages
# (`apt-get source`), and GoogleTest from the sources Debian installs under
# /usr/src/googletest. Everything goes to third_party/cache/ (ignored by git)
# and is built only when its stamp is missing. zlib is Debian's
# libz-mingw-w64-dev.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
triplet=i686-w64-mingw32
cache="$root/third_party/cache"
prefix="$cache/$triplet"
toolchain="$root/cmake/mingw-i686.cmake"
jobs=2
mkdir -p "$prefix" "$cache/src" "$cache/build"

log() { echo "deps: $*" >&2; }

# Builds and installs one CMake project into the prefix.
cmake_install() {  # name source-dir cmake-args...
  local name=$1 src=$2
  shift 2
  local bld="$cache/build/$name"
  rm -rf "$bld"
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" "$@" >"$bld.configure.log" 2>&1 ||
    { log "configuring $name failed; see $bld.configure.log"; return 1; }
  cmake --build "$bld" -j "$jobs" >"$bld.build.log" 2>&1 ||
    { log "building $name failed; see $bld.build.log"; return 1; }
  cmake --install "$bld" >>"$bld.build.log" 2>&1 ||
    { log "installing $name failed; see $bld.build.log"; return 1; }
  rm -rf "$bld"
}

# Unpacks Debian's source package (with its patches) once; prints its folder.
debian_source() {  # source-package
  local pkg=$1 dir
  dir=$(find "$cache/src" -maxdepth 1 -type d -name "$pkg-[0-9]*" | sort | tail -n 1)
  if [[ -z "$dir" ]]; then
    log "fetching the Debian source package $pkg"
    # Newest version first; a mirror may lack one (security updates), so
    # fall back to the release's own.
    local versions v ok=0
    versions=$(apt-cache showsrc "$pkg" 2>/dev/null | awk '/^Version:/ { print $2 }' | sort -Vru)
    for v in $versions; do
      if (cd "$cache/src" && apt-get source -qq "$pkg=$v" >>"$cache/src/$pkg.fetch.log" 2>&1); then
        ok=1
        break
      fi
    done
    ((ok)) ||
      { log "apt-get source $pkg failed (are deb-src entries set up? run scripts/setup.sh); see $cache/src/$pkg.fetch.log"; return 1; }
    dir=$(find "$cache/src" -maxdepth 1 -type d -name "$pkg-[0-9]*" | sort | tail -n 1)
  fi
  [[ -n "$dir" ]] || { log "no unpacked source for $pkg"; return 1; }
  echo "$dir"
}

# Builds one library unless its stamp says it is there.
build_one() {  # name
  local name=$1 stamp="$prefix/.built-$1" src
  [[ -e "$stamp" ]] && return 0
  local start=$SECONDS
  case "$name" in
    googletest)
      [[ -f /usr/src/googletest/CMakeLists.txt ]] ||
        { log "/usr/src/googletest is missing (Debian package googletest)"; return 1; }
      cmake_install googletest /usr/src/googletest -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON \
        -Dgtest_force_shared_crt=OFF
      ;;
    libjpeg-turbo)
      src=$(debian_source libjpeg-turbo)
      # No SIMD: it would need nasm, and export speed is not what the
      # Windows tests measure.
      cmake_install libjpeg-turbo "$src" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
      ;;
    libpng)
      src=$(debian_source libpng1.6)
      cmake_install libpng "$src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
      ;;
  esac
  touch "$stamp"
  log "$name built in $((SECONDS - start)) s"
}

for name in googletest libjpeg-turbo libpng; do
  build_one "$name"
done
