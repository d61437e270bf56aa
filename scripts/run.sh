#!/usr/bin/env bash
# The run command: installs what is missing, builds the target this machine runs (the 32-bit product where
# the kernel runs 32-bit programs and the 32-bit half is installed, else the 64-bit build;
# VEXLOR_ARCH=i686|x86_64 forces one) and starts the desktop from it (run-desktop.sh).
set -euo pipefail
. "$(dirname "$0")/targets.sh"
vexlor_install_deps
VEXLOR_TARGET=$(vexlor_main_target)
export VEXLOR_TARGET
why=$(vexlor_why_64_only)
[ -z "$why" ] || echo "run: $why: running the 64-bit build"
bash "$VEXLOR_ROOT/scripts/build.sh"
exec bash "$VEXLOR_ROOT/scripts/run-desktop.sh"
