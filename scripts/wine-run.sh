#!/usr/bin/env bash
# Runs one Windows program in the project's Wine prefix of the current target (the test emulator of ctest).
# Without a display it brings up a private Xvfb for the one run.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
vexlor_prefix_ready || exit 1
if [ -z "${DISPLAY:-}" ]; then
  vexlor_session_start || { vexlor_session_stop; exit 1; }
  vx_wine "$@"; rc=$?
  vexlor_session_stop
  exit $rc
fi
exec "$VX_WINE" "$@"
