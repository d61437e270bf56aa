# Sourced by the program_*/system_* end-to-end scripts: a private Xvfb (or $DISPLAY), the project's Wine
# prefix with the application laid out, and helpers to start and watch the programs.
set -u
VEXLOR_ROOT=${VEXLOR_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
. "$VEXLOR_ROOT/scripts/wine-env.sh"
. "$VEXLOR_ROOT/scripts/layout-prefix.sh"
. "$VEXLOR_ROOT/scripts/x-screen.sh"
vexlor_prefix_ready || exit 1
. "$VEXLOR_ROOT/tests/support/checks.sh"

T_OUT="$VEXLOR_BUILD/e2e/$T_NAME"
mkdir -p "$T_OUT"
T_PIDS=()

t_cleanup() {
  local p i
  for p in "${T_PIDS[@]}"; do kill "$p" 2>/dev/null; done
  # The prefix's wineserver is shared with the other tests of a ctest run: end it only when this script
  # brought up its own display (a run by hand). Otherwise leave nothing behind for the next script: the
  # processes are gone, and so is an exit run that a control, outliving its program for a moment, started.
  if [ -n "$VX_SESSION_XPID" ]; then vexlor_session_stop; return; fi
  for p in "${T_PIDS[@]}"; do wait_pid "$p" 10 || kill -9 "$p" 2>/dev/null; done
  for ((i = 0; i < 100; i++)); do
    [ "$(in_prefix '_3DVexlor[.]exe|vexlor_desktop[.]exe')" = 0 ] && break
    sleep 0.1
  done
}
trap t_cleanup EXIT
vexlor_session_start || exit 1

drv() { vx_wine "$VX_DRIVER" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
reg_value() {  # reg_value <key> <name>: the value's data, or "<none>"
  local out
  out=$(vx_wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -E "^ +$2 +REG_") || { echo "<none>"; return; }
  echo "$out" | sed -E "s/^ +$2 +REG_[A-Z_]+ *//"
}
wallpaper() { reg_value 'HKCU\Software\Microsoft\Internet Explorer\Desktop\General' Wallpaper; }
last_wallpaper() { reg_value 'HKCU\Software\Pellomar\3D Vexlor' LastWallPaper; }
set_last_wallpaper() { vx_wine reg add 'HKCU\Software\Pellomar\3D Vexlor' /v LastWallPaper /d "$1" /f >/dev/null 2>&1; }
set_wallpaper() {  # through the Active Desktop stand-in's storage, without telling the desktop
  vx_wine reg add 'HKCU\Software\Microsoft\Internet Explorer\Desktop\General' /v Wallpaper /d "$1" /f >/dev/null 2>&1
}
PAGE_WIN='C:\windows\Web\Wallpaper\3DVexlor.html'

start_desktop() {
  "$VX_WINE" "$VX_STANDINS_WIN\\vexlor_desktop.exe" >>"$T_OUT/desktop.log" 2>&1 &
  T_PIDS+=($!)
  drv wait Progman 20000
}
# start_desktop_without_3d: the stand-in desktop on an X display of its own without the GLX extension,
# where Wine's Direct3D finds no OpenGL: the control it hosts can make no device.
start_desktop_without_3d() {
  local n pid
  read -r n pid < <(vexlor_start_xvfb -extension GLX)
  [ -n "${n:-}" ] || return 1
  T_PIDS+=($pid)
  DISPLAY=":$n" "$VX_WINE" "$VX_STANDINS_WIN\\vexlor_desktop.exe" >>"$T_OUT/desktop.log" 2>&1 &
  T_PIDS+=($!)
  drv wait Progman 20000
}
stop_desktop() {
  drv post Progman 0x0010 >/dev/null
  drv wait-gone Progman 10000
}
# start_program [args...]: starts _3DVexlor.exe; its pid in PROG_PID, output in $T_OUT/program.log
start_program() {
  WINEDEBUG=${PROGRAM_WINEDEBUG:-$WINEDEBUG} "$VX_WINE" "$VX_APP_WIN\\_3DVexlor.exe" "$@" >>"$T_OUT/program.log" 2>&1 &
  PROG_PID=$!
  T_PIDS+=($PROG_PID)
}
# start_hosted [class]: starts the stand-in desktop and _3DVexlor.exe and waits until a window of the
# class shows (default the hidden window of the control the desktop hosts).
start_hosted() {
  check "stand-in desktop up" start_desktop
  start_program
  check "control hosted" drv wait "${1:-_3DVexlorActiveXWnd}" 30000
}
hold_window() {  # hold_window <class> <ms>: a window of the class for that long, made by the driver; HOLD_PID
  "$VX_WINE" "$VX_DRIVER" hold "$1" "$2" >/dev/null 2>&1 &
  HOLD_PID=$!
  T_PIDS+=($HOLD_PID)
}
menu_keys() {  # menu_keys <virtual key>...: presses the keys in the open popup menu
  local k
  for k in "$@"; do drv key '#32768' "$k" >/dev/null; done
}
# selected_at <x> <y>: the screen shows the menus' selection colour just left of the point
selected_at() {
  [ "$(vexlor_xscreen | convert miff:- -crop "1x1+$(($1 - 20))+$2" +repage -format '%[pixel:p{0,0}]' info: 2>/dev/null)" = \
    "srgb(48,150,250)" ]
}
# menu_settle: a popup menu comes up under the pointer, and the pointer's arrival over it moves (or clears)
# its selection: posted keys could be overtaken by that. The pointer goes on to the menu's second row
# ("Help topics") by real X motion, which comes after the arrival, and this waits until that row shows
# selected. The keys that follow start from the top with Home.
menu_settle() {
  local l t r b
  read -r l t r b <<<"$(drv rect '#32768')"
  [ -n "$b" ] || return 1
  xdotool mousemove $((l + 120)) $((t + 60))
  wait_for 5 selected_at $((l + 120)) $((t + 60))
}
# in_prefix <ERE>: how many processes of this prefix (other test runs may share the machine) have a
# command line that matches
in_prefix() {
  local pid n=0
  for pid in $(pgrep -f "$1"); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && n=$((n + 1))
  done
  echo "$n"
}
wait_for() {  # wait_for <seconds> <command...>: true as soon as the command succeeds, false after the time
  local limit=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$limit" ] || return 1
    sleep 0.2
  done
}
wait_pid() {  # wait_pid <pid> <seconds>: true when the process ended within the time
  local i
  for ((i = 0; i < $2 * 10; i++)); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
  return 1
}
screenshot() {  # screenshot <name>: the X screen, as the user sees it, as <name>.png in the output folder
  vexlor_xscreen | convert miff:- "$T_OUT/$1.png" 2>/dev/null
}
# wine_capture <name>: the screen read from inside the prefix (a BitBlt from the screen's DC), as <name>.png.
# It reads the same X server as screenshot: an artefact to look at, no second witness of what a window drew.
wine_capture() {
  local bmp="$VX_DRIVE_C/windows/Temp/$1.bmp"
  drv capture "C:\\windows\\Temp\\$1.bmp" >/dev/null && convert "$bmp" "$T_OUT/$1.png" 2>/dev/null
  rm -f "$bmp"
}

# part_stat <png> <w>x<h>+<x>+<y> <fx expression>: the expression over that part of the picture, in grey;
# nothing for an empty part
part_stat() {
  [[ "$2" =~ ^[1-9][0-9]*x[1-9][0-9]*\+ ]] || return 1
  convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:$3]" info: 2>/dev/null
}
# text_lines <png> <w>x<h>+<x>+<y>: how many lines of dark text that part of the picture shows on a light
# ground (bands of rows with dark pixels, apart from each other); 0 for a plain or empty part
text_lines() {
  [[ "$2" =~ ^[1-9][0-9]*x([1-9][0-9]*)\+ ]] || { echo 0; return; }
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold 50% -negate -scale "1x${BASH_REMATCH[1]}!" -depth 8 \
    -compress none pgm:- 2>/dev/null | awk '{ for (i = 1; i <= NF; i++) v[++n] = $i }
      END { for (i = 5; i <= n; i++) { dark = v[i] > 0; if (dark && !was) lines++; was = dark } print lines + 0 }'
}

# empty_front_face: the data folder in $data, and face 1's folder in it, made empty (no items, no layout
# file), in $face; ends the script when the data folder can't be found.
empty_front_face() {
  local profile
  profile=$(vx_wine cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')
  data=$(vx_wine winepath -u "$profile\\Application Data\\Pellomar\\3D Vexlor\\" 2>/dev/null | tr -d '\r')
  [ -n "$data" ] || { echo "FAIL - the data folder was not found"; exit 1; }
  face="$data/Desktops/1"
  rm -rf "$face" "$face.ini"
  mkdir -p "$face"
}
# Face 1 in front covers the middle of the 1024 x 768 screen: texture point (u, v) of its 512 x 512 picture
# is screen point (138 + u * 748 / 512, 104 + v * 561 / 512). The icon of cell (0, r) is texture (19, 9 + 70 r)
# to (51, 41 + 70 r): screen (167, 114 + 77 r), 44 x 33.
icon_spread() {  # icon_spread [r]: how much the X screen varies on cell (0, r)'s icon: 0 for plain background
  vexlor_xscreen | convert miff:- -crop "44x33+167+$((114 + ${1:-0} * 77))" +repage -format '%[fx:standard_deviation]' \
    info: 2>/dev/null
}
icon_shown() { awk -v s="$(icon_spread "${1:-0}")" 'BEGIN { exit !(s > 0.05) }'; }  # icon_shown [r]

# Lays the application out, plain user state, settings without tips and without the Run entry.
prepare() {
  rm -f "$T_OUT"/*.log "$T_OUT"/*.png
  vexlor_layout >"$T_OUT/layout.log" 2>&1 || { echo "FAIL - layout (see $T_OUT/layout.log)"; cat "$T_OUT/layout.log"; exit 1; }
  vexlor_reset_state
  vexlor_write_settings "${1:-0}" 0
}
