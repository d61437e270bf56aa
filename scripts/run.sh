#!/usr/bin/env bash
# The run command: installs what is missing, builds the target this machine runs (the 32-bit product where
# the kernel runs 32-bit programs, else the 64-bit build; VEXLOR_ARCH=i686|x86_64 forces one) and starts
# the desktop from it (run-desktop.sh).
set -euo pipefail
. "$(dirname "$0")/targets.sh"
VEXLOR_TARGET=$(vexlor_main_target)
export VEXLOR_TARGET
if [ -z "${VEXLOR_ARCH:-}" ] && ! vexlor_can_run_32; then
  echo "run: this machine's kernel runs no 32-bit programs: running the 64-bit build"
fi
bash "$VEXLOR_ROOT/scripts/build.sh"
exec bash "$VEXLOR_ROOT/scripts/run-desktop.sh"
