#!/usr/bin/env bash
# Installs what is missing, then builds each target this machine runs (or $VEXLOR_TARGET alone) in its own
# build tree: libjpeg-turbo for the target once, then the project.
set -euo pipefail
. "$(dirname "$0")/targets.sh"
vexlor_install_deps
targets=${VEXLOR_TARGET:-$(vexlor_targets)}
for t in $targets; do
  (
    vexlor_use_target "$t"
    bash "$VEXLOR_ROOT/scripts/build-libjpeg.sh"
    # Configured once; later builds re-run CMake only when its inputs changed.
    if [ ! -f "$VEXLOR_BUILD/build.ninja" ]; then
      cmake -S "$VEXLOR_ROOT" -B "$VEXLOR_BUILD" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$VEXLOR_TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=${VEXLOR_CONFIG:-Release} >/dev/null
    fi
    cmake --build "$VEXLOR_BUILD" -j"$(nproc)"
  )
done
