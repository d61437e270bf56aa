#!/usr/bin/env bash
# The control created by its ProgID in our stand-alone container, in place on the desktop window: it
# starts (hidden window up, splash closed), its Direct3D output reaches the screen, it goes away with its
# hidden window when the container closes; and with the control program gone it starts the program's
# "/EXIT" run from its own folder, which puts the remembered wallpaper back.
. "$(dirname "$0")/lib_program.sh"
prepare 0
HOST="$VEXLOR_BUILD/bin/vexlor_host.exe"
start_host() {  # our container with the control in place on the desktop window, for 60 s at the most
  "$VX_WINE" "$HOST" _3DVexlorFormProj._3DVexlorForm --desktop --seconds 60 >>"$T_OUT/host.log" 2>&1 &
  HOST_PID=$!
  T_PIDS+=($HOST_PID)
}

# The control program's main form is "there": no exit start.
hold_window T_3DVexlorControlForm 60000
check "main form stand-in up" drv wait T_3DVexlorControlForm 10000

# Nothing remembered: an exit start would take the wallpaper away.
set_wallpaper 'C:\windows\mine.bmp'
start_host
check "control started: hidden window up" drv wait _3DVexlorActiveXWnd 30000
check "control window on the desktop" drv exists T_3DVexlorForm
check_eq "splash closed" 1 "$(drv exists T3DVexlorSplash; echo $?)"
bright_centre() {  # the centre of the screen is not black
  vexlor_xscreen | convert miff:- "$T_OUT/desktop.png" 2>/dev/null
  mean=$(convert "$T_OUT/desktop.png" -gravity center -crop 200x200+0+0 +repage -format '%[fx:mean]' info: 2>/dev/null)
  awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.05) }'
}
check "the cube reaches the screen (centre not black)" wait_for 60 bright_centre
echo "centre brightness: $mean"
check_eq "exit program not started while the main form exists" 'C:\windows\mine.bmp' "$(wallpaper)"
wine_capture desktop_in_prefix

drv post VexlorControlHost 0x0010 >/dev/null
check "host ends on close" wait_pid "$HOST_PID" 20
check "hidden window gone with the control" drv wait-gone _3DVexlorActiveXWnd 10000
check "control window gone" drv wait-gone T_3DVexlorForm 10000
kill "$HOLD_PID" 2>/dev/null
drv wait-gone T_3DVexlorControlForm 10000

# Without the control program: the control starts "_3DVexlor.exe" "/EXIT" from its own folder.
set_last_wallpaper 'C:\windows\mine.bmp'
set_wallpaper "$PAGE_WIN"
start_host
check "control started again" drv wait _3DVexlorActiveXWnd 30000
ok=1
for _ in $(seq 1 100); do
  [ "$(wallpaper)" = 'C:\windows\mine.bmp' ] && { ok=0; break; }
  sleep 0.2
done
check "exit run put the remembered wallpaper back" test $ok -eq 0
drv post VexlorControlHost 0x0010 >/dev/null
check "host ends on close" wait_pid "$HOST_PID" 20
# The exit runs ended one by one; none is left once the control is gone.
left=1
for _ in $(seq 1 50); do
  [ "$(in_prefix '_3DVexlor[.]exe /EXIT')" = 0 ] && { left=0; break; }
  sleep 0.2
done
check "no exit program left running" test $left -eq 0
finish
