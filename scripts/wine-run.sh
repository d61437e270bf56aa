#!/usr/bin/env bash
# Runs one Windows program in the project's Wine prefix of the current target (the test emulator of ctest).
# Without a display it brings up a private Xvfb for the one run.
# The program writes into a file that is printed when it ends: a Wine process it starts on the way (a
# service, the desktop's explorer) inherits that file, not our caller's pipe, which ctest would otherwise
# wait on until that process ends.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
vexlor_prefix_ready || exit 1
own_session=0
if [ -z "${DISPLAY:-}" ]; then
  vexlor_session_start || { vexlor_session_stop; exit 1; }
  own_session=1
fi
out=$(mktemp "${TMPDIR:-/tmp}/vexlor-run.XXXXXX")
"$VX_WINE" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
[ $own_session = 1 ] && vexlor_session_stop
exit $rc
