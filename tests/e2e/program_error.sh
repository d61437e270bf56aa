#!/usr/bin/env bash
# The control's "_3D_Error": the desktop icons are shown, the wallpaper is put back, the one error message
# of the program is shown, and the program ends as on Exit.
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
finish
