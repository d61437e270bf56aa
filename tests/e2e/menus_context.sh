#!/usr/bin/env bash
# Both context menus on the running desktop are skinned: the 3D control's menu (opened by _3D_Popup) and
# the tray menu show the dark side bar with its picture beside light items on the X screen; the screenshots
# of both are kept in the output folder (control_menu.png with its submenu in control_submenu.png,
# tray_menu.png).
. "$(dirname "$0")/lib_program.sh"
prepare 0
start_hosted

# stat <png> <x> <y> <w> <h> <fx expression>: the expression over a part of the screenshot
stat() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace Gray -format "%[fx:$6]" info: 2>/dev/null
}
# check_menu <name>: the open menu is on the screen; its bar strip is dark with light picture pixels in it,
# its item area is light
check_menu() {
  local name=$1 l t r b png
  read -r l t r b <<<"$(drv rect '#32768')"
  echo "     ($name menu at $l,$t-$r,$b)"
  screenshot "$name"
  png="$T_OUT/$name.png"
  check "$name menu: the screen was read" test -s "$png"
  local h=$((b - t - 8)) bar items picture
  bar=$(stat "$png" $((l + 6)) $((t + 4)) 24 "$h" mean)
  picture=$(stat "$png" $((l + 6)) $((t + 4)) 24 "$h" maxima)
  items=$(stat "$png" $((l + 44)) $((t + 4)) $((r - l - 50)) "$h" mean)
  echo "     (bar mean $bar, brightest bar pixel $picture, items mean $items)"
  check "$name menu: the side bar is dark" awk -v m="${bar:-1}" 'BEGIN { exit !(m < 0.4) }'
  check "$name menu: the bar picture shows on it" awk -v m="${picture:-0}" 'BEGIN { exit !(m > 0.8) }'
  check "$name menu: the items are light" awk -v m="${items:-0}" 'BEGIN { exit !(m > 0.6) }'
}

# The control's context menu at the cursor, over the cube: its face items apply, "Arrange by" among them.
drv cursor 300 300 >/dev/null
drv post _3DVexlorActiveXWnd _3D_Popup >/dev/null
check "control menu open" drv wait '#32768' 10000
# The menu comes up under the pointer: the pointer's arrival over it moves the selection, so the keys wait
# until that has passed.
sleep 1
menu_keys 0x28 0x28   # down: the notice, then "Help topics" selected
sleep 1
check_menu control_menu
# "Arrange by" (ten further down) opens its submenu: skinned items, no bar.
read -r ml mt mr mb <<<"$(drv rect '#32768')"
menu_keys 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x28 0x27
sleep 1
check_eq "submenu open beside the menu" 2 "$(drv count '#32768')"
screenshot control_submenu
# The submenu is the menu window on top. In the lower half of it (below the selected first item): the
# strip along its left edge is light (no bar), and the item text starts a few pixels in, where the
# skinned painter puts it (the plain painting of owner-drawn items starts it 24 pixels in).
read -r sl st sr sb <<<"$(drv rect '#32768')"
echo "     (submenu at $sl,$st-$sr,$sb)"
check "the submenu is another window than the menu" test "$sl $st" != "$ml $mt"
png="$T_OUT/control_submenu.png"
half=$(((sb - st) / 2))
strip=$(stat "$png" $((sl + 2)) $((st + half)) 5 $((half - 4)) mean)
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
sleep 1
check_menu tray_menu
menu_keys 0x1B
check "tray menu closed" drv wait-gone '#32768' 5000

drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "program ends" wait_pid "$PROG_PID" 30
check "stand-in desktop stops" stop_desktop
finish
