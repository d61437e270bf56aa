#!/usr/bin/env bash
# Builds and runs the cube benchmark under Wine: frame times at 1024 x 768 and face uploads.
# Usage: bench/run.sh [frames]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export VEXLOR_BUILD=${VEXLOR_BUILD:-$root/build}
bash "$root/scripts/build.sh" >/dev/null 2>&1 || true  # the bench needs only its own target
cmake --build "$VEXLOR_BUILD" --target bench_cube >/dev/null
out="$VEXLOR_BUILD/bin/bench"
# Photo-like face pictures, made once.
[ -f "$out/face512.jpg" ] || convert -size 512x512 -seed 7 plasma:fractal -quality 90 "$out/face512.jpg"
[ -f "$out/face1024.jpg" ] || convert -size 1024x1024 -seed 7 plasma:fractal -quality 90 "$out/face1024.jpg"
cd "$out"
bash "$root/scripts/wine-run.sh" ./bench_cube.exe "${1:-300}" face512.jpg face1024.jpg
