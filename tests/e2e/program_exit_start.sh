#!/usr/bin/env bash
# The "/EXIT" start: puts the remembered wallpaper back (also when it is current, always stretched), the
# empty name when nothing is remembered or when the page itself was remembered, makes no window while it
# runs, and never fails, even started many times in a row. Other spellings start the tray program.
. "$(dirname "$0")/lib_program.sh"
prepare 0
check "stand-in desktop up" start_desktop

exit_start() {  # runs "/EXIT" (or other arguments) and waits for it; its exit code
  start_program "$@"
  wait_pid "$PROG_PID" 20 || return 99
  wait "$PROG_PID"
}

# Nothing remembered: the page goes, no picture is left.
set_wallpaper "$PAGE_WIN"
exit_start /EXIT
check_eq "exit start with nothing stored ends cleanly" 0 $?
check_eq "no wallpaper after exit start without LastWallPaper" "" "$(wallpaper)"

set_last_wallpaper 'C:\windows\mine.bmp'
set_wallpaper "$PAGE_WIN"
exit_start /EXIT
check_eq "remembered wallpaper put back" 'C:\windows\mine.bmp' "$(wallpaper)"
check_eq "stretched" 2 "$(reg_value 'HKCU\Software\Microsoft\Internet Explorer\Desktop\General' WallpaperStyle)"

# The page remembered (as an earlier version could store it): the page is not put back.
set_last_wallpaper 'C:\WINDOWS\web\wallpaper\3dvexlor.HTML'
set_wallpaper "$PAGE_WIN"
exit_start /EXIT
check_eq "a remembered page is not put back" "" "$(wallpaper)"

# Started again and again, as the control does every 100 ms: each run ends cleanly.
set_last_wallpaper 'C:\windows\mine.bmp'
codes=""
for i in 1 2 3 4 5; do
  start_program /EXIT
  pids+=("$PROG_PID")
  sleep 0.1
done
for p in "${pids[@]}"; do wait_pid "$p" 20; wait "$p"; codes="$codes$?"; done
check_eq "five quick exit starts all end with 0" 00000 "$codes"
check_eq "wallpaper after the quick exit starts" 'C:\windows\mine.bmp' "$(wallpaper)"

# Another spelling is a plain start: the tray program comes up (and is ended again).
start_program /exit
check "\"/exit\" starts the tray program" drv wait _3DVexlorControlWnd 30000
drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "that program ends on _3D_Exit" wait_pid "$PROG_PID" 30
# Without the desktop page the program writes nothing, changes nothing and ends without a word.
vexlor_reset_state
set_wallpaper 'C:\windows\mine.bmp'
mv "$VX_PAGE_UNIX" "$VX_PAGE_UNIX.away"
start_program
check "no page: the program ends by itself" wait_pid "$PROG_PID" 20
mv "$VX_PAGE_UNIX.away" "$VX_PAGE_UNIX"
check_eq "no page: nothing remembered" "<none>" "$(last_wallpaper)"
check_eq "no page: wallpaper untouched" 'C:\windows\mine.bmp' "$(wallpaper)"
check_eq "no page: no message box" 1 "$(drv exists '#32770'; echo $?)"
check "stand-in desktop stops" stop_desktop

# While an exit start runs (held here by a desktop window that answers nothing, so that it waits after
# saving the wallpaper), it has made no window of the program.
set_last_wallpaper 'C:\windows\mine.bmp'
set_wallpaper "$PAGE_WIN"
"$VX_WINE" "$VX_DRIVER" stall Progman 600000 >/dev/null 2>&1 &
STALL_PID=$!
T_PIDS+=($STALL_PID)
check "a desktop that answers nothing" drv wait Progman 10000
start_program /EXIT
saved() { [ "$(wallpaper)" = 'C:\windows\mine.bmp' ]; }
check "the exit start saved the wallpaper" wait_for 30 saved
check "the exit start waits for the desktop" kill -0 "$PROG_PID"
check_eq "no main form while the exit start runs" 1 "$(drv exists T_3DVexlorControlForm; echo $?)"
check_eq "no tray icon window while the exit start runs" 1 "$(drv exists TTrayIconWindow; echo $?)"
kill "$STALL_PID" 2>/dev/null
check "the exit start ends once the desktop is gone" wait_pid "$PROG_PID" 30
finish
