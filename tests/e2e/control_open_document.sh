#!/usr/bin/env bash
# A document on the cube opens in its program under real X input (xdotool on the display): after a click on
# the cube, a double-click on a text document's icon on the front face opens it in Notepad, through the
# prefix's association for ".txt".
. "$(dirname "$0")/lib_program.sh"
command -v xdotool >/dev/null || { echo "FAIL - xdotool is missing: run scripts/install-deps.sh"; exit 1; }
prepare 0
empty_front_face
printf 'Opened from the cube.\r\n' >"$face/Letter.txt"
start_hosted

# The one item takes cell (0, 0), whose icon lies at screen (167, 114) to (211, 147).
check "the document shows on the front face" wait_for 60 icon_shown
xdotool mousemove 600 450 click 1   # an empty part of the face: the cube takes the keyboard
sleep 0.5
xdotool mousemove 189 130 click --repeat 2 --delay 80 1
check "a double-click on its icon opens Notepad" drv wait Notepad 10000
# Notepad names the document in its caption once it has read it ("Untitled - Notepad" without one).
caption_names_it() { caption=$(drv text Notepad); [ "$caption" = "Letter.txt - Notepad" ]; }
wait_for 5 caption_names_it
check_eq "... with the document" "Letter.txt - Notepad" "$caption"
drv post Notepad 0x0010 >/dev/null   # WM_CLOSE: the document is unchanged, Notepad asks nothing
check "Notepad closes" drv wait-gone Notepad 10000

drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "program ends" wait_pid "$PROG_PID" 30
check "stand-in desktop stops" stop_desktop
# The prefix is the run command's too: leave the face empty, as a fresh one is.
rm -rf "$face" "$face.ini"
finish
