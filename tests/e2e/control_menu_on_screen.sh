#!/usr/bin/env bash
# What the user sees of the cube's menu and the delete confirmation, with real X input (xdotool on the
# display) and pictures read from the X screen: a click selects an item on the front face, a right-click
# opens the skinned menu there (its dark side bar beside light rows of text) and "Arrange by" opens its
# submenu (light rows of text); Delete asks first, the question and both buttons show their text, and
# Cancel deletes nothing. What a window paints itself can't be had from here (under Wine a window of
# another process paints nothing into our memory bitmap, and a message box paints only its background even
# in its own process): each window is judged by what the screen shows of it, so that a flat or undrawn one
# fails.
. "$(dirname "$0")/lib_program.sh"
command -v xdotool >/dev/null || { echo "FAIL - xdotool is missing: run scripts/install-deps.sh"; exit 1; }
prepare 0
empty_front_face
echo "keep me" >"$face/keep.txt"
start_hosted

# Face 1 in front: cell (0, 0)'s icon lies at screen (167, 114) to (211, 147).
# on_screen <name> <judge> <class>: the screen shows the top window of the class as the judge wants it,
# within 5 s; the last picture is kept as <name>.png, and the judge's measures are shown.
on_screen() {
  local name=$1 judge=$2 l t r b i
  read -r l t r b <<<"$(drv rect "$3")"
  [ -n "$b" ] || return 1
  for ((i = 0; i < 10; i++)); do
    screenshot "$name"
    "$judge" "$T_OUT/$name.png" "$l" "$t" "$r" "$b" && { echo "     ($name at $l,$t-$r,$b: $seen)"; return 0; }
    sleep 0.5
  done
  echo "     ($name at $l,$t-$r,$b: $seen)"
  return 1
}
# Judges <png> <l> <t> <r> <b>: what they measured in $seen.
# The menu: a dark side bar with its bright picture, beside light rows with a dozen lines of text.
menu_drawn() {
  local h=$(($5 - $3 - 8)) bar picture items lines
  bar=$(part_stat "$1" "24x$h+$(($2 + 6))+$(($3 + 4))" mean)
  picture=$(part_stat "$1" "24x$h+$(($2 + 6))+$(($3 + 4))" maxima)
  items=$(part_stat "$1" "$(($4 - $2 - 50))x$h+$(($2 + 44))+$(($3 + 4))" mean)
  lines=$(text_lines "$1" "$(($4 - $2 - 50))x$h+$(($2 + 44))+$(($3 + 4))")
  seen="bar mean $bar, brightest bar pixel $picture, rows mean $items, $lines lines of text"
  awk -v b="${bar:-1}" -v p="${picture:-0}" -v m="${items:-0}" -v n="$lines" \
    'BEGIN { exit !(b < 0.4 && p > 0.8 && m > 0.6 && n >= 10) }'
}
# The submenu: light rows with the text of three items at least (the selected one is light on dark).
submenu_drawn() {
  local box="$(($4 - $2 - 8))x$(($5 - $3 - 8))+$(($2 + 4))+$(($3 + 4))" items lines
  items=$(part_stat "$1" "$box" mean)
  lines=$(text_lines "$1" "$box")
  seen="rows mean $items, $lines lines of text"
  awk -v m="${items:-0}" -v n="$lines" 'BEGIN { exit !(m > 0.6 && n >= 3) }'
}
# The confirmation: its question (the box's text) and the caption of each button show as text on a light
# ground. The rectangles are read once, in $question, $ok and $cancel ("l t r b").
inside() {  # inside <l> <t> <r> <b> <inset>: the geometry of the rectangle less the inset on each side
  echo "$(($3 - $1 - 2 * $5))x$(($4 - $2 - 2 * $5))+$(($1 + $5))+$(($2 + $5))"
}
confirmation_drawn() {
  local q o c qm om cm
  q=$(text_lines "$1" "$(inside $question 0)")
  o=$(text_lines "$1" "$(inside $ok 5)")
  c=$(text_lines "$1" "$(inside $cancel 5)")
  qm=$(part_stat "$1" "$(inside $question 0)" mean)
  om=$(part_stat "$1" "$(inside $ok 5)" mean)
  cm=$(part_stat "$1" "$(inside $cancel 5)" mean)
  seen="question $q line(s) on mean $qm, OK $o on $om, Cancel $c on $cm"
  awk -v q="$q" -v o="$o" -v c="$c" -v qm="${qm:-0}" -v om="${om:-0}" -v cm="${cm:-0}" \
    'BEGIN { exit !(q >= 1 && o == 1 && c == 1 && qm > 0.6 && om > 0.6 && cm > 0.6) }'
}
menus_open() { [ "$(drv count '#32768')" = "$1" ]; }  # menus_open <n>: n popup menus are open

check "the item shows on the front face" wait_for 60 icon_shown
xdotool mousemove 189 130 click 1   # selects the item (and gives the cube the keyboard)
sleep 0.5
xdotool mousemove 600 450 click 3
check "a right-click opens the menu" drv wait '#32768' 10000
check "the menu shows its side bar beside its rows of text" on_screen menu menu_drawn '#32768'
# From the top: the notice, Help topics, ..., Arrange by (twelve down); Right opens its submenu.
for _ in $(seq 1 12); do xdotool key Down; done
xdotool key Right
check "Arrange by opens its submenu" wait_for 5 menus_open 2
check "the submenu shows its rows of text" on_screen submenu submenu_drawn '#32768'
xdotool key Escape Escape
check "the menu closes" drv wait-gone '#32768' 5000

xdotool key Delete
check "Delete asks first" drv wait '#32770' 10000
check_eq "it is the confirmation" "Confirmation" "$(drv text '#32770')"
question=$(drv rect '#32770' Static#2)   # the box's text (the first static is its icon)
ok=$(drv rect '#32770' OK)
cancel=$(drv rect '#32770' Cancel)
check "the question and both buttons show their text" on_screen confirmation confirmation_drawn '#32770'
read -r l t r b <<<"$cancel"
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
