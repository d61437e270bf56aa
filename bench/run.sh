#!/usr/bin/env bash
# Builds and runs the cube benchmark under Wine: frame times at 1024 x 768 and face uploads, with the
# target this machine runs (VEXLOR_ARCH=i686|x86_64 forces one).
# Usage: bench/run.sh [frames]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/targets.sh"
VEXLOR_TARGET=$(vexlor_main_target)
export VEXLOR_TARGET
mkdir -p "$VEXLOR_BUILD_ROOT"
# A failed build stops here with the build's own error.
bash "$root/scripts/build.sh" >"$VEXLOR_BUILD_ROOT/bench-build.log" 2>&1 || {
  cat "$VEXLOR_BUILD_ROOT/bench-build.log" >&2
  echo "bench: the build failed (see above)" >&2
  exit 1
}
vexlor_use_target "$VEXLOR_TARGET"
out="$VEXLOR_BUILD/bin/bench"
# Photo-like face pictures, made once.
[ -f "$out/face512.jpg" ] || convert -size 512x512 -seed 7 plasma:fractal -quality 90 "$out/face512.jpg"
[ -f "$out/face1024.jpg" ] || convert -size 1024x1024 -seed 7 plasma:fractal -quality 90 "$out/face1024.jpg"
cd "$out"
echo "bench: target $VEXLOR_TARGET"
bash "$root/scripts/wine-run.sh" ./bench_cube.exe "${1:-300}" face512.jpg face1024.jpg
