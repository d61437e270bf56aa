#!/usr/bin/env bash
# The 3D wallpaper on the running desktop: at the control's first start the default package beside the
# programs is unpacked into the data folder's "Temp\" and its plug-in draws behind the cube; a second
# start with the same package unpacks nothing.
. "$(dirname "$0")/lib_program.sh"
prepare 0
profile=$(vx_wine cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')
DATA="$(vx_wine winepath -u "$profile" 2>/dev/null | tr -d '\r')/Application Data/Pellomar/3D Vexlor"
TEMP_UNIX="$DATA/Temp"
rm -rf "$TEMP_UNIX"
PACKAGE_WIN="$VX_APP_WIN\\space.3dv"

wait_file() {  # wait_file <file> <seconds>
  local i
  for ((i = 0; i < $2 * 10; i++)); do [ -s "$1" ] && return 0; sleep 0.1; done
  return 1
}
exit_program() {
  drv post _3DVexlorControlWnd _3D_Exit >/dev/null
  check "program ended" wait_pid "$PROG_PID" 30
  check "control gone" drv wait-gone _3DVexlorActiveXWnd 10000
}

start_hosted
check "package unpacked" wait_file "$TEMP_UNIX/wallpaper.info" 30
check_eq "wallpaper.info names the package" "$PACKAGE_WIN" "$(head -n 1 "$TEMP_UNIX/wallpaper.info" | tr -d '\r')"
check "plug-in library unpacked" test -s "$TEMP_UNIX/wallpaper.dll"
check "plug-in data unpacked into its subfolder" test -s "$TEMP_UNIX/data/space.ini"
# Below the cube the plug-in's night sky shows (blue), where the bare render clear colour has none; the
# cube's white front face covers the middle. Frames come when the loaded machine gets to them.
blue=0 centre=0
for _ in $(seq 1 20); do
  sleep 1
  vexlor_xscreen | convert miff:- "$T_OUT/desktop.png" 2>/dev/null || continue
  blue=$(convert "$T_OUT/desktop.png" -crop 40x20+940+740 +repage -format '%[fx:mean.b]' info: 2>/dev/null)
  centre=$(convert "$T_OUT/desktop.png" -gravity center -crop 200x200+0+0 +repage -format '%[fx:mean]' info: 2>/dev/null)
  awk -v b="${blue:-0}" -v m="${centre:-0}" 'BEGIN { exit !(b > 0.12 && m > 0.5) }' && break
done
echo "sky blue below the cube: $blue, centre brightness: $centre"
check "the plug-in draws around the cube" awk -v b="${blue:-0}" 'BEGIN { exit !(b > 0.12) }'
check "the cube is drawn over it" awk -v m="${centre:-0}" 'BEGIN { exit !(m > 0.5) }'
exit_program

# Mark an unpacked file: a second start with the same package must leave it alone.
printf '; kept\r\n' >>"$TEMP_UNIX/data/space.ini"
start_hosted
check "not unpacked again: the marked file is kept" grep -q 'kept' "$TEMP_UNIX/data/space.ini"
check_eq "wallpaper.info unchanged" "$PACKAGE_WIN" "$(head -n 1 "$TEMP_UNIX/wallpaper.info" | tr -d '\r')"
exit_program
check "stand-in desktop stops" stop_desktop
finish
