#!/usr/bin/env bash
# Starts the built desktop: lays the application out in the target's Wine prefix and starts the stand-in
# shell desktop and _3DVexlor.exe under Wine, on $DISPLAY when there is one, else on a private Xvfb. After
# a few seconds it saves a screenshot ($VEXLOR_SHOT, default build/screenshot.png). With a display it then
# waits until the program ends (Exit in the tray menu); on Xvfb it ends the program itself as Exit does,
# which puts the wallpaper back, and stops everything.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
. "$VEXLOR_ROOT/scripts/layout-prefix.sh"
. "$VEXLOR_ROOT/scripts/x-screen.sh"
vexlor_prefix_ready

trap vexlor_session_stop EXIT
vexlor_session_start
vexlor_layout || echo "run: some parts are missing (see above); starting what is there" >&2
# A settings record on first use: the defaults, without the start-with-Windows entry in this prefix.
if ! vx_wine reg query 'HKCU\Software\Pellomar\3D Vexlor\Settings' /v Tips >/dev/null 2>&1; then
  vexlor_write_settings 1 0
fi
# A first face with something on it: a shortcut, a document and a folder, when its folder is empty.
vx_wine "$VX_BIN/tools/vexlor_samples.exe" 2>/dev/null | tr -d '\r' || echo "run: the sample items could not all be made" >&2

shot=${VEXLOR_SHOT:-$VEXLOR_BUILD_ROOT/screenshot.png}
"$VX_WINE" "$VX_STANDINS_WIN\\vexlor_desktop.exe" >"$VEXLOR_BUILD/desktop.log" 2>&1 &
desk=$!
vx_wine "$VX_DRIVER" wait Progman 20000 || echo "run: the stand-in desktop did not come up" >&2
"$VX_WINE" "$VX_APP_WIN\\_3DVexlor.exe" >"$VEXLOR_BUILD/program.log" 2>&1 &
prog=$!
vx_wine "$VX_DRIVER" wait _3DVexlorActiveXWnd 30000 || echo "run: the 3D control did not come up" >&2
sleep "${VEXLOR_SHOT_DELAY:-5}"

if vexlor_xscreen | convert miff:- "$shot"; then
  echo "run: screenshot saved to $shot"
else
  echo "run: the screen could not be read for the screenshot" >&2
fi

if [ -n "$VX_SESSION_XPID" ]; then
  # No one can click the tray icon here: ask for Exit as the control does.
  vx_wine "$VX_DRIVER" post _3DVexlorControlWnd _3D_Exit || true
fi
wait "$prog" || true
vx_wine "$VX_DRIVER" post Progman 0x0010 || true   # WM_CLOSE ends the stand-in desktop
wait "$desk" || true
