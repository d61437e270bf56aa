#!/usr/bin/env bash
# The tear-down wait, however it was reached: without the desktop page the program ends at once, yet it
# still waits while a control window of class _3DVexlorActiveXWnd exists. Meanwhile its tray menu is
# live, but nothing opens from it, and a display change puts no page on the desktop.
. "$(dirname "$0")/lib_program.sh"
prepare 1
set_wallpaper 'C:\windows\mine.bmp'
mv "$VX_PAGE_UNIX" "$VX_PAGE_UNIX.away"
restore_page() { [ -f "$VX_PAGE_UNIX.away" ] && mv "$VX_PAGE_UNIX.away" "$VX_PAGE_UNIX"; }
trap 'restore_page; t_cleanup' EXIT

hold_window _3DVexlorActiveXWnd 600000   # until it is let go below
check "a control window is held" drv wait _3DVexlorActiveXWnd 10000
start_program
check "tray icon window up" drv wait TTrayIconWindow 20000
sleep 0.5
check "program waits while the control window exists" kill -0 "$PROG_PID"
check_eq "no control window of the program" 1 "$(drv exists _3DVexlorControlWnd; echo $?)"

# The tray menu opens, but its "Tips" (three items down) opens nothing now.
drv tray TTrayIconWindow 0x0202 >/dev/null
check "tray menu opens during the wait" drv wait '#32768' 5000
check "its selection settles" menu_settle
menu_keys 0x24 0x28 0x28 0x0D   # Home: the notice; down: Help topics, Tips; Enter
sleep 0.7
check_eq "no tips dialog during the tear-down" 1 "$(drv exists TformTips; echo $?)"

# A display change during the wait shows the icons but sets no page (there is none to set).
check_eq "display change answered" 0 "$(drv send T_3DVexlorControlForm 0x007E)"
sleep 0.3
check_eq "wallpaper untouched" 'C:\windows\mine.bmp' "$(wallpaper)"
check_eq "nothing remembered" "<none>" "$(last_wallpaper)"

kill "$HOLD_PID" 2>/dev/null
check "program ends once the control window is gone" wait_pid "$PROG_PID" 30
restore_page
finish
