#!/usr/bin/env bash
# Builds everything and runs every test under Wine (unit and end-to-end) through ctest.
# Uses $DISPLAY when set, else a private Xvfb; one wineserver stays up for the whole run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export VEXLOR_BUILD=${VEXLOR_BUILD:-$root/build}
bash "$root/scripts/build.sh"
. "$root/scripts/wine-env.sh"
vexlor_prefix_ready

# One wineserver for the whole run, and Wine's own background processes started now with no
# pipes of ctest's attached (ctest would otherwise wait for them to close their output).
trap vexlor_session_stop EXIT
vexlor_session_start
cd "$VEXLOR_BUILD"
ctest --output-on-failure -j"${VEXLOR_TEST_JOBS:-4}" "$@"
