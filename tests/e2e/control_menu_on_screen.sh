#!/usr/bin/env bash
# What the user sees of the cube's menu and the delete confirmation, with real X input (xdotool on the
# display) and pictures read from the X screen: a click selects an item on the front face, a right-click
# opens the skinned menu there and "Arrange by" opens its submenu, each showing its items on the screen as
# Wine drew them; Delete asks first, the question is on the screen, and Cancel deletes nothing.
. "$(dirname "$0")/lib_program.sh"
command -v xdotool >/dev/null || { echo "FAIL - xdotool is missing: run scripts/install-deps.sh"; exit 1; }
prepare 0
empty_front_face
echo "keep me" >"$face/keep.txt"
start_hosted

# Face 1 in front: cell (0, 0)'s icon lies at screen (167, 114) to (211, 147).
# on_screen <name> <class>: the top window of the class, read from the X screen at the moment Wine's
# capture is taken, shows a picture (not one colour) and that picture is the one Wine drew.
on_screen() {
  local l t r b box spread differ
  read -r l t r b <<<"$(drv rect "$2")"
  box="$((r - l - 4))x$((b - t - 4))+$((l + 2))+$((t + 2))"
  screenshot "$1"
  wine_capture "$1.wine"
  spread=$(convert "$T_OUT/$1.png" -crop "$box" +repage -colorspace Gray -format '%[fx:standard_deviation]' info: 2>/dev/null)
  convert "$T_OUT/$1.png" -crop "$box" +repage "$T_OUT/$1.crop.png" 2>/dev/null
  convert "$T_OUT/$1.wine.png" -crop "$box" +repage "$T_OUT/$1.wine.crop.png" 2>/dev/null
  differ=$(compare -metric AE -fuzz 8% "$T_OUT/$1.crop.png" "$T_OUT/$1.wine.crop.png" /dev/null 2>&1)
  echo "     ($1 at $l,$t-$r,$b: spread ${spread:-?} on the screen, ${differ:-?} of $(((r - l - 4) * (b - t - 4))) pixels unlike Wine's)"
  awk -v s="${spread:-0}" 'BEGIN { exit !(s > 0.1) }' &&
    awk -v d="${differ%%.*}" -v n="$(((r - l - 4) * (b - t - 4)))" 'BEGIN { exit !(d ~ /^[0-9]+$/ && d < n / 50) }'
}

check "the item shows on the front face" wait_for 60 icon_shown
xdotool mousemove 189 130 click 1   # selects the item (and gives the cube the keyboard)
sleep 0.5
xdotool mousemove 600 450 click 3
check "a right-click opens the menu" drv wait '#32768' 10000
sleep 1
check "the menu's items are on the screen" on_screen menu '#32768'
# From the top: the notice, Help topics, ..., Arrange by (twelve down); Right opens its submenu.
for _ in $(seq 1 12); do xdotool key Down; done
xdotool key Right
check "Arrange by opens its submenu" wait_for 5 test "$(drv count '#32768')" = 2
sleep 1
check "the submenu's items are on the screen" on_screen submenu '#32768'
xdotool key Escape Escape
check "the menu closes" drv wait-gone '#32768' 5000

xdotool key Delete
check "Delete asks first" drv wait '#32770' 10000
sleep 1
check_eq "it is the confirmation" "Confirmation" "$(drv text '#32770')"
check "the question is on the screen" on_screen confirmation '#32770'
read -r l t r b <<<"$(drv rect '#32770' Cancel)"
xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
check "Cancel closes it" drv wait-gone '#32770' 5000
sleep 1
check "and deletes nothing" test -f "$face/keep.txt"
check "the item stays on the face" icon_shown

drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "program ends" wait_pid "$PROG_PID" 30
check "stand-in desktop stops" stop_desktop
# The prefix is the run command's too: leave the face empty, as a fresh one is.
rm -rf "$face" "$face.ini"
finish
