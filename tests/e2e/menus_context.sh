#!/usr/bin/env bash
# Both context menus on the running desktop are skinned: the 3D control's menu (opened by _3D_Popup) and
# the tray menu show the dark side bar with its picture beside light items on the X screen; the screenshots
# of both are kept in the output folder (control_menu.png with its submenu in control_submenu.png,
# tray_menu.png).
. "$(dirname "$0")/lib_program.sh"
prepare 0
start_hosted

# check_menu <name>: the open menu is on the screen (read again for up to 5 s until its bar shows); its bar
# strip is dark with light picture pixels in it, its item area is light
check_menu() {
  local name=$1 l t r b png i
  read -r l t r b <<<"$(drv rect '#32768')"
  echo "     ($name menu at $l,$t-$r,$b)"
  png="$T_OUT/$name.png"
  local h=$((b - t - 8)) bar items picture
  for ((i = 0; i < 10; i++)); do
    screenshot "$name"
    bar=$(part_stat "$png" "24x$h+$((l + 6))+$((t + 4))" mean)
    awk -v m="${bar:-1}" 'BEGIN { exit !(m < 0.4) }' && break
    sleep 0.5
  done
  check "$name menu: the screen was read" test -s "$png"
  picture=$(part_stat "$png" "24x$h+$((l + 6))+$((t + 4))" maxima)
  items=$(part_stat "$png" "$((r - l - 50))x$h+$((l + 44))+$((t + 4))" mean)
  echo "     (bar mean $bar, brightest bar pixel $picture, items mean $items)"
  check "$name menu: the side bar is dark" awk -v m="${bar:-1}" 'BEGIN { exit !(m < 0.4) }'
  check "$name menu: the bar picture shows on it" awk -v m="${picture:-0}" 'BEGIN { exit !(m > 0.8) }'
  check "$name menu: the items are light" awk -v m="${items:-0}" 'BEGIN { exit !(m > 0.6) }'
}
menus_open() { [ "$(drv count '#32768')" = "$1" ]; }  # menus_open <n>: n popup menus are open

# The control's context menu at the cursor, over the cube: its face items apply, "Arrange by" among them.
drv cursor 300 300 >/dev/null
drv post _3DVexlorActiveXWnd _3D_Popup >/dev/null
check "control menu open" drv wait '#32768' 10000
check "the row under the pointer shows selected" menu_settle
read -r ml mt mr mb <<<"$(drv rect '#32768')"
menu_keys 0x24 0x28   # Home: the notice; down: "Help topics" selected
check_menu control_menu
# "Arrange by" (ten further down) opens its submenu: skinned items, no bar.
menu_keys 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x27
check "submenu open beside the menu" wait_for 5 menus_open 2
read -r sl st sr sb <<<"$(drv rect '#32768')"
# Read again for up to 5 s until its lower half shows a line of text.
for ((i = 0; i < 10; i++)); do
  screenshot control_submenu
  [ "$(text_lines "$T_OUT/control_submenu.png" "$((sr - sl - 4))x$(((sb - st) / 2 - 4))+$((sl + 2))+$(((st + sb) / 2))")" -gt 0 ] && break
  sleep 0.5
done
# The submenu is the menu window on top. In the lower half of it (below the selected first item): the
# strip along its left edge is light (no bar), and the item text starts a few pixels in, where the
# skinned painter puts it (the plain painting of owner-drawn items starts it 24 pixels in).
echo "     (submenu at $sl,$st-$sr,$sb)"
check "the submenu is another window than the menu" test "$sl $st" != "$ml $mt"
png="$T_OUT/control_submenu.png"
half=$(((sb - st) / 2))
strip=$(part_stat "$png" "5x$((half - 4))+$((sl + 2))+$((st + half))" mean)
text=$(convert "$png" -crop "$((sr - sl - 4))x$((half - 4))+$((sl + 2))+$((st + half))" +repage -colorspace Gray \
  -threshold 50% -format "%@" info: 2>/dev/null)
echo "     (submenu edge strip mean $strip, text box $text)"
check "the submenu has no bar" awk -v m="${strip:-0}" 'BEGIN { exit !(m > 0.8) }'
check "the submenu's items are skinned" awk -v b="${text:-none}" \
  'BEGIN { if (split(b, p, "+") != 3 || b ~ /^0x0/) exit 1; exit !(p[2] + 2 < 16) }'
menu_keys 0x1B 0x1B
check "control menu closed" drv wait-gone '#32768' 5000

# The tray menu.
drv cursor 600 150 >/dev/null
drv tray TTrayIconWindow 0x0202 >/dev/null
check "tray menu open" drv wait '#32768' 10000
check_menu tray_menu
menu_keys 0x1B
check "tray menu closed" drv wait-gone '#32768' 5000

drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "program ends" wait_pid "$PROG_PID" 30
check "stand-in desktop stops" stop_desktop
finish
