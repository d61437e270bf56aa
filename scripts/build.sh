#!/usr/bin/env bash
# Installs what is missing, builds libjpeg-turbo for the target once, then the project.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VEXLOR_BUILD:-$root/build}
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build-libjpeg.sh" "$build"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=${VEXLOR_CONFIG:-Release} >/dev/null
cmake --build "$build" -j"$(nproc)"
