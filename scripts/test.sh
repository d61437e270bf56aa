#!/usr/bin/env bash
# Builds everything and runs every test under Wine (unit and end-to-end) through ctest, for each target
# this machine runs (see targets.sh): the 32-bit one first where the kernel runs 32-bit programs and the
# 32-bit half is installed, else the 64-bit one alone. Uses $DISPLAY when set, else a private Xvfb; one
# wineserver stays up for each run.
set -euo pipefail
. "$(dirname "$0")/targets.sh"
# The target choice follows what the install step could install.
vexlor_install_deps
targets=$(vexlor_targets)
why=$(vexlor_why_64_only)
[ -z "$why" ] || echo "test: $why: building and testing the 64-bit target only"
bash "$VEXLOR_ROOT/scripts/build.sh"
failed=""
for t in $targets; do
  echo "test: target $t"
  # (set -e does not hold inside a tested subshell: each step says how it ends.)
  if ! (
    export VEXLOR_TARGET=$t
    . "$VEXLOR_ROOT/scripts/wine-env.sh"
    vexlor_prefix_ready || exit 1
    # One wineserver for the whole run, and Wine's own background processes started now with no
    # pipes of ctest's attached (ctest would otherwise wait for them to close their output).
    trap vexlor_session_stop EXIT
    vexlor_session_start || exit 1
    cd "$VEXLOR_BUILD" || exit 1
    ctest --output-on-failure -j"${VEXLOR_TEST_JOBS:-4}" "$@"
  ); then
    failed="$failed $t"
  fi
done
if [ -n "$failed" ]; then echo "test: failures on:$failed" >&2; exit 1; fi
