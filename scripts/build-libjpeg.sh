#!/usr/bin/env bash
# Builds libjpeg-turbo for the current target (see targets.sh) from Debian's source package, once per
# build tree: installs into <build tree>/third_party/libjpeg. The source is fetched once for all targets.
set -euo pipefail
. "$(dirname "$0")/targets.sh"
vexlor_use_target "${VEXLOR_TARGET:-$(vexlor_main_target)}"
dest="$VEXLOR_BUILD/third_party/libjpeg"
[ -f "$dest/.built" ] && exit 0

work="$VEXLOR_BUILD_ROOT/src"
mkdir -p "$work"
src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$src" ]; then
  (cd "$work" && apt-get source -q libjpeg-turbo >/dev/null)
  src=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
fi
[ -n "$src" ] || { echo "libjpeg-turbo source not found" >&2; exit 1; }

simd=ON
command -v nasm >/dev/null || simd=OFF
cmake -S "$src" -B "$VEXLOR_BUILD/third_party/libjpeg-build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$VEXLOR_TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$dest" \
  -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_SIMD=$simd >/dev/null
cmake --build "$VEXLOR_BUILD/third_party/libjpeg-build" -j"$(nproc)" >/dev/null
cmake --install "$VEXLOR_BUILD/third_party/libjpeg-build" >/dev/null
touch "$dest/.built"
