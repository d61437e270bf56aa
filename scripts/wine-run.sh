#!/usr/bin/env bash
# Runs one Windows program in the project's Wine prefix (the test emulator of ctest).
# Without a display it brings up a private Xvfb for the one run.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
vexlor_prefix_ready
if [ -z "${DISPLAY:-}" ]; then
  read -r n xpid < <(vexlor_start_xvfb)
  export DISPLAY=":$n"
  wine "$@"; rc=$?
  wineserver -k >/dev/null 2>&1
  kill "$xpid" 2>/dev/null
  exit $rc
fi
exec wine "$@"
