#!/usr/bin/env bash
# A document on the cube opens in its program under real X input (xdotool on the display): after a click on
# the cube, a double-click on a text document's icon on the front face opens it in Notepad, through the
# prefix's association for ".txt".
. "$(dirname "$0")/lib_program.sh"
command -v xdotool >/dev/null || { echo "FAIL - xdotool is missing: run scripts/install-deps.sh"; exit 1; }
prepare 0
profile=$(vx_wine cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')
data=$(vx_wine winepath -u "$profile\\Application Data\\Pellomar\\3D Vexlor\\" 2>/dev/null | tr -d '\r')
check "data folder found" test -n "$data"
face="$data/Desktops/1"
rm -rf "$face" "$face.ini"
mkdir -p "$face"
printf 'Opened from the cube.\r\n' >"$face/Note.txt"
start_hosted

# Face 1 in front covers the middle of the 1024 x 768 screen: texture point (u, v) of its 512 x 512 picture
# is screen point (138 + u * 748 / 512, 104 + v * 561 / 512). The one item takes cell (0, 0), whose icon
# is texture (19, 9) to (51, 41): screen (167, 114) to (211, 147).
icon_shown() {
  awk -v s="$(vexlor_xscreen | convert miff:- -crop 44x33+167+114 +repage -format '%[fx:standard_deviation]' info: 2>/dev/null)" \
    'BEGIN { exit !(s > 0.05) }'
}
check "the document shows on the front face" wait_for 60 icon_shown
xdotool mousemove 600 450 click 1   # an empty part of the face: the cube takes the keyboard
sleep 0.5
xdotool mousemove 189 130 click --repeat 2 --delay 80 1
check "a double-click on its icon opens Notepad" drv wait Notepad 10000
check "... with the document" bash -c '[[ "$1" == *Note* ]]' _ "$(drv text Notepad)"
drv post Notepad 0x0010 >/dev/null   # WM_CLOSE: the document is unchanged, Notepad asks nothing
check "Notepad closes" drv wait-gone Notepad 10000

drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "program ends" wait_pid "$PROG_PID" 30
check "stand-in desktop stops" stop_desktop
# The prefix is the run command's too: leave the face empty, as a fresh one is.
rm -rf "$face" "$face.ini"
finish
