#!/usr/bin/env bash
# The control's "_3D_Error": the desktop icons are shown, the wallpaper is put back, the one error message
# of the program is shown, and the program ends as on Exit; first posted from here, then sent by a control
# that fails to make its device while the program puts the page on the desktop.
. "$(dirname "$0")/lib_program.sh"
prepare 0
set_wallpaper 'C:\windows\mine.bmp'
start_hosted
drv hide-icons >/dev/null
drv post _3DVexlorControlWnd _3D_Error >/dev/null
drv post _3DVexlorControlWnd _3D_Error >/dev/null
check "message box shown" drv wait '#32770' 10000
sleep 0.5
check_eq "one message for two reports" 1 "$(drv count '#32770')"
screenshot error_box
check_eq "wallpaper put back before the message" 'C:\windows\mine.bmp' "$(wallpaper)"
check_eq "icons shown" 1 "$(drv icons)"
check_eq "message text" "Error creation of graphic device. Application will be closed." "$(drv msgbox)"
check "program ended" wait_pid "$PROG_PID" 30
check "control gone" drv wait-gone _3DVexlorActiveXWnd 10000
check "stand-in desktop stops" stop_desktop

# The control itself fails at start: the stand-in desktop runs on a display without OpenGL, where Wine
# makes no Direct3D device. The desktop makes the control while the program sets the page, and the
# control reports at once: the report reaches the program all the same.
set_wallpaper 'C:\windows\mine.bmp'
hosted=$(grep -c 'hosting the control' "$T_OUT/desktop.log")
check "stand-in desktop up on a display without 3D" start_desktop_without_3d
start_program
check "the control's own report shows the message" drv wait '#32770' 30000
check_eq "the desktop made the control" $((hosted + 1)) "$(grep -c 'hosting the control' "$T_OUT/desktop.log")"
check_eq "its text" "Error creation of graphic device. Application will be closed." "$(drv msgbox)"
check "program ended after the failed control" wait_pid "$PROG_PID" 30
check_eq "wallpaper put back after the failed control" 'C:\windows\mine.bmp' "$(wallpaper)"
check "failed control gone" drv wait-gone _3DVexlorActiveXWnd 10000
check "stand-in desktop without 3D stops" stop_desktop
finish
