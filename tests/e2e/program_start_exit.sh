#!/usr/bin/env bash
# Start and Exit from the tray menu: the remembered wallpaper and the program's folder are written, the
# page is set through the Active Desktop object, the desktop hosts the control, the tray icon is added
# (and added again on "TaskbarCreated" after the shell lost it); Exit shows the desktop icons, closes the help windows, puts the
# wallpaper back, and the control and the program are gone.
. "$(dirname "$0")/lib_program.sh"
prepare 0
set_wallpaper 'C:\windows\mine.bmp'
start_hosted
check "main form exists" drv exists T_3DVexlorControlForm
check "control window exists" drv exists _3DVexlorControlWnd
check_eq "LastWallPaper" 'C:\windows\mine.bmp' "$(last_wallpaper)"
check_eq "AppPath" 'C:\Program Files\3D Vexlor' "$(reg_value 'HKCU\Software\Pellomar\3D Vexlor' AppPath)"
check_eq "page is the wallpaper" "$PAGE_WIN" "$(wallpaper)"
tray_icons() { drv children __winex11_standalone_tray | grep -c '^__winex11_tray_icon|'; }
check_eq "one tray icon" 1 "$(tray_icons)"
# The shell lost the icon (as when it restarts): "TaskbarCreated" brings it back.
no_icon() { [ "$(tray_icons)" = 0 ]; }
one_icon() { [ "$(tray_icons)" = 1 ]; }
check "the shell drops the icon" drv tray-delete TTrayIconWindow 1
check "no tray icon then" wait_for 10 no_icon
check "TaskbarCreated broadcast" drv broadcast TaskbarCreated
check "the icon is back after TaskbarCreated" wait_for 30 one_icon

# A display change drops the page and sets it again: the desktop builds the control anew.
hosted() { grep -c 'hosting the control' "$T_OUT/desktop.log"; }
n=$(hosted)
check_eq "display change answered" 0 "$(drv send T_3DVexlorControlForm 0x007E)"
check "control hosted again after the display change" drv wait _3DVexlorActiveXWnd 20000
check_eq "the desktop made the control once more" $((n + 1)) "$(hosted)"
check_eq "page is the wallpaper after the display change" "$PAGE_WIN" "$(wallpaper)"

# A help window open at exit is closed by it.
drv post _3DVexlorControlWnd _3D_Help >/dev/null
check "help window opened" drv wait "HH Parent" 10000
check_eq "help window type caption" "3D Vexlor Help" "$(drv text 'HH Parent')"

# The control hides the icon list when asked to; hide it here to see Exit show it again.
check "icons hidden" drv hide-icons
check_eq "icon list hidden" 0 "$(drv icons)"
screenshot running

# Exit from the tray menu: the icon's click pops the menu up; the last item is Exit.
drv tray TTrayIconWindow 0x0201 >/dev/null   # WM_LBUTTONDOWN
drv tray TTrayIconWindow 0x0202 >/dev/null   # WM_LBUTTONUP: OnMouseUp pops the menu up
check "tray menu open" drv wait '#32768' 5000
screenshot tray_menu
check "its selection settles" menu_settle
menu_keys 0x24 0x26 0x0D   # Home: the notice; up: wraps to the last item, Exit; Enter
check "program ended" wait_pid "$PROG_PID" 30
check "control gone" drv wait-gone _3DVexlorActiveXWnd 10000
if drv exists _3DVexlorActiveXWnd; then echo "     windows left:"; drv list | sed 's/^/     /'; tail -n 5 "$T_OUT/desktop.log"; fi
check "help windows closed" drv wait-gone "HH Parent" 5000
check_eq "wallpaper put back" 'C:\windows\mine.bmp' "$(wallpaper)"
check_eq "desktop icons shown" 1 "$(drv icons)"
check_eq "no tray icon left" 0 "$(tray_icons)"
check "stand-in desktop stops" stop_desktop
finish
