# Sourced by the other scripts: the project's own Wine environment for one target (see targets.sh).
# The target is $VEXLOR_TARGET when a caller chose it, else the first one this machine runs. Each target has
# its own prefix (build/wine/win32 or build/wine/win64), quiet, without the Mono/Gecko prompts.
# Wine is only ever started through vx_wine and vx_wineserver: the loader and server of the target, by path
# (Debian's /usr/bin/wine always takes the 32-bit loader when wine32 is installed, runnable or not).
. "$(dirname "${BASH_SOURCE[0]}")/targets.sh"
if [ -z "${VEXLOR_TARGET:-}" ]; then
  VEXLOR_TARGET=$(vexlor_main_target) || exit 2
fi
vexlor_use_target "$VEXLOR_TARGET" || exit 2
if [ -n "${VEXLOR_WINE_ROOT:-}" ]; then export WINEPREFIX="$VEXLOR_WINE_ROOT/$WINEARCH"; fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

# A program started in the background is started as "$VX_WINE" itself, so that $! is its own process.
vx_wine() { "$VX_WINE" "$@"; }
vx_wineserver() { "$VX_WINESERVER" "$@"; }

# vexlor_wine_failed <what> <exit status> [log]: one plain line on what failed and its likely cause.
vexlor_wine_failed() {
  local cause="see the output above"
  [ -n "${3:-}" ] && cause="see $3"
  case "$2" in
    126) cause="this kernel cannot execute $VX_WINE (Exec format error?); try VEXLOR_ARCH=x86_64" ;;
    127) cause="$VX_WINE is missing: run scripts/install-deps.sh" ;;
  esac
  echo "wine: $1 failed (exit $2) in $WINEPREFIX: $cause" >&2
}

# Creates the prefix once and sets what makes it fit for unattended tests: unmanaged X windows (closing a
# window does not stall) and no debugger on a crash. The ready mark is written only when every step
# succeeded, and trusted only while the prefix is whole and the mark names this set-up ($VX_PREFIX_SETUP);
# a prefix marked by an older one gets only what that one missed.
# Wine's own file associations (".txt" to the text class, ".htm", ".jpg", ".exe", ... and the MIME
# database) come from mshtml.dll's registration, which wine.inf runs while wineboot sets the prefix up; our
# run-time override (mshtml disabled, against the Gecko prompt) keeps that DLL from loading, and the
# associations from being written. Registering it shows no prompt: set-up runs with mscoree off alone.
VX_PREFIX_SETUP=2
VX_SETUP_OVERRIDES="mscoree="
vexlor_prefix_marked() {
  local mark=""
  [ -d "$WINEPREFIX/drive_c/windows/system32" ] && [ -f "$WINEPREFIX/.vexlor-ready" ] || return 1
  read -r mark <"$WINEPREFIX/.vexlor-ready" || true
  [ "$mark" = "$VX_PREFIX_SETUP" ]
}
vexlor_prefix_ready() {
  local stamp="$WINEPREFIX/.vexlor-ready" sys="$WINEPREFIX/drive_c/windows/system32"
  vexlor_prefix_marked && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    vexlor_prefix_marked && exit 0
    log="$(dirname "$WINEPREFIX")/wineboot-$WINEARCH.log"
    if [ -f "$stamp" ] && [ -d "$sys" ]; then
      # Made by the set-up before the associations: the registration its wineboot skipped, in both halves
      # of a win64 prefix that has a 32-bit one.
      WINEDLLOVERRIDES=$VX_SETUP_OVERRIDES "$VX_WINE" regsvr32 /s mshtml.dll >>"$log" 2>&1 ||
        { vexlor_wine_failed "registering Wine's file associations (mshtml)" $? "$log"; exit 1; }
      if [ "$WINEARCH" = win64 ] && [ -f "$WINEPREFIX/drive_c/windows/syswow64/regsvr32.exe" ] && vexlor_can_run_32; then
        WINEDLLOVERRIDES=$VX_SETUP_OVERRIDES "$VX_WINE" 'C:\windows\syswow64\regsvr32.exe' /s 'C:\windows\system32\mshtml.dll' >>"$log" 2>&1 ||
          { vexlor_wine_failed "registering Wine's file associations (32-bit mshtml)" $? "$log"; exit 1; }
      fi
    else
      rm -f "$stamp"
      WINEDLLOVERRIDES=$VX_SETUP_OVERRIDES "$VX_WINE" wineboot -i >"$log" 2>&1 ||
        { vexlor_wine_failed "creating the prefix (wineboot)" $? "$log"; exit 1; }
      local key value
      for key in 'HKCU\Software\Wine\X11 Driver|Managed|N' \
        'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug|Debugger|false' \
        'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug|Auto|1'; do
        IFS='|' read -r key value data <<<"$key"
        "$VX_WINE" reg add "$key" /v "$value" /d "$data" /f >>"$log" 2>&1 ||
          { vexlor_wine_failed "setting $key\\$value" $? "$log"; exit 1; }
      done
    fi
    "$VX_WINESERVER" -w
    [ -d "$sys" ] || { echo "wine: the prefix $WINEPREFIX has no system32 after wineboot (see $log)" >&2; exit 1; }
    echo "$VX_PREFIX_SETUP" >"$stamp"
  ) 9>"$(dirname "$WINEPREFIX")/.prefix-$WINEARCH.lock"
}

# Starts Xvfb on a display number it finds free itself (several runs may share a machine); prints the
# number and the pid. Arguments are passed on to Xvfb ("-extension GLX": a display without OpenGL).
vexlor_start_xvfb() {
  local fifo n=""
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/vexlor-xvfb.XXXXXX")
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp "$@" 3>"$fifo" >/dev/null 2>&1 &
  local pid=$!
  read -r -t 20 n <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$n" ]; then echo "xvfb: Xvfb did not start" >&2; kill "$pid" 2>/dev/null; return 1; fi
  echo "$n $pid"
}

# The session the programs run in, for a command or a script run: vexlor_session_start uses $DISPLAY
# when set, else starts a private Xvfb (its pid in VX_SESSION_XPID, empty with $DISPLAY), keeps one
# wineserver up, and starts Wine's own background processes now with stdin, stdout and stderr detached
# (whoever reads our output, ctest for one, would otherwise wait for them to close it).
# vexlor_session_stop ends the wineserver with every Wine process of the prefix, and the private Xvfb.
VX_SESSION_XPID=""
vexlor_session_start() {
  local n rc=0
  if [ -z "${DISPLAY:-}" ]; then
    read -r n VX_SESSION_XPID < <(vexlor_start_xvfb)
    [ -n "$n" ] || return 1
    export DISPLAY=":$n"
  fi
  # Exit status 2: a server already runs for this prefix, which is as good.
  vx_wineserver -p >/dev/null 2>&1 || rc=$?
  if [ $rc -ne 0 ] && [ $rc -ne 2 ]; then vexlor_wine_failed "starting the wineserver" $rc; return 1; fi
  rc=0
  vx_wine cmd /c exit >/dev/null 2>&1 </dev/null || rc=$?
  if [ $rc -ne 0 ]; then vexlor_wine_failed "starting Wine" $rc; return 1; fi
}
vexlor_session_stop() {
  vx_wineserver -k >/dev/null 2>&1 || true
  if [ -n "$VX_SESSION_XPID" ]; then kill "$VX_SESSION_XPID" 2>/dev/null || true; fi
}
