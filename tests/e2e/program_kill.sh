#!/usr/bin/env bash
# Killing the tray program: the control finds its main form gone and starts "_3DVexlor.exe /EXIT", which
# puts the wallpaper back; the desktop drops the control; nothing of the program is left running.
. "$(dirname "$0")/lib_program.sh"
prepare 0
set_wallpaper 'C:\windows\mine.bmp'
start_hosted
kill -9 "$PROG_PID"
check "program killed" wait_pid "$PROG_PID" 5
check "control gone after the kill" drv wait-gone _3DVexlorActiveXWnd 20000
check_eq "wallpaper put back by the exit start" 'C:\windows\mine.bmp' "$(wallpaper)"
none_left() { [ "$(in_prefix '[_]3DVexlor\.exe')" = 0 ]; }
check "no _3DVexlor.exe left running" wait_for 30 none_left
check_eq "wallpaper still the user's" 'C:\windows\mine.bmp' "$(wallpaper)"
check "stand-in desktop stops" stop_desktop
finish
