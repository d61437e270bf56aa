#!/usr/bin/env bash
# Builds libjpeg-turbo for the target from Debian's source package, once per build tree.
# Usage: build-libjpeg.sh <build dir>  -> installs into <build dir>/third_party/libjpeg
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
dest="$build/third_party/libjpeg"
[ -f "$dest/.built" ] && exit 0

work="$build/third_party/src"
mkdir -p "$work"
src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$src" ]; then
  (cd "$work" && apt-get source -q libjpeg-turbo >/dev/null)
  src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi
[ -n "$src" ] || { echo "libjpeg-turbo source not found" >&2; exit 1; }

simd=ON
command -v nasm >/dev/null || simd=OFF
cmake -S "$src" -B "$build/third_party/libjpeg-build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dest" \
  -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=$simd >/dev/null
cmake --build "$build/third_party/libjpeg-build" -j"$(nproc)" >/dev/null
cmake --install "$build/third_party/libjpeg-build" >/dev/null
touch "$dest/.built"
