# Sourced by the other scripts: the project's own Wine environment.
# A 32-bit prefix under the build tree, quiet, without the Mono/Gecko prompts.
VEXLOR_ROOT=${VEXLOR_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
VEXLOR_BUILD=${VEXLOR_BUILD:-$VEXLOR_ROOT/build}
export WINEPREFIX=${WINEPREFIX:-$VEXLOR_BUILD/wine/prefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

# Creates the prefix once and sets what makes it fit for unattended tests:
# unmanaged X windows (closing a window does not stall) and no debugger on a crash.
vexlor_prefix_ready() {
  local stamp="$WINEPREFIX/.vexlor-ready"
  [ -f "$stamp" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$stamp" ]; then
      wineboot -i >/dev/null 2>&1 || true
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f >/dev/null 2>&1
      wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1
      wineserver -w
      touch "$stamp"
    fi
  ) 9>"$(dirname "$WINEPREFIX")/.prefix.lock"
}

# Starts Xvfb on a free display number; prints the number.
vexlor_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.05
  done
  echo "$n $pid"
}

# The session the programs run in, for a command or a script run: vexlor_session_start uses $DISPLAY
# when set, else starts a private Xvfb (its pid in VX_SESSION_XPID, empty with $DISPLAY), keeps one
# wineserver up, and starts Wine's own background processes now with stdin, stdout and stderr detached
# (whoever reads our output, ctest for one, would otherwise wait for them to close it).
# vexlor_session_stop ends the wineserver with every Wine process of the prefix, and the private Xvfb.
VX_SESSION_XPID=""
vexlor_session_start() {
  local n
  if [ -z "${DISPLAY:-}" ]; then
    read -r n VX_SESSION_XPID < <(vexlor_start_xvfb)
    export DISPLAY=":$n"
  fi
  wineserver -p
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}
vexlor_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$VX_SESSION_XPID" ]; then kill "$VX_SESSION_XPID" 2>/dev/null || true; fi
}
