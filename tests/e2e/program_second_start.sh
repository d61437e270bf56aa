#!/usr/bin/env bash
# Starting while the page is the wallpaper (a second start, or one after a crash) never remembers the page:
# the stored wallpaper is kept and put back at Exit. A second tray program ends at once and touches nothing.
# With the Tips setting on, the tips are shown at start.
. "$(dirname "$0")/lib_program.sh"
prepare 1
set_last_wallpaper 'C:\windows\mine.bmp'
set_wallpaper "$PAGE_WIN"
start_hosted _3DVexlorControlWnd
first=$PROG_PID
check_eq "the stored wallpaper is kept" 'C:\windows\mine.bmp' "$(last_wallpaper)"
check "tips shown at start" drv wait TformTips 10000
screenshot start_with_tips

start_program
second=$PROG_PID
check "the second start ends at once" wait_pid "$second" 15
wait "$second"
check_eq "its exit code" 0 $?
check_eq "one main form" 1 "$(drv count T_3DVexlorControlForm)"
check_eq "stored wallpaper unchanged by the second start" 'C:\windows\mine.bmp' "$(last_wallpaper)"
check_eq "page still the wallpaper" "$PAGE_WIN" "$(wallpaper)"
check "first program still running" kill -0 "$first"

# Closing the tips without a change saves the settings as they were: Tips stays on.
drv post TformTips 0x0010 >/dev/null
check "tips closed" drv wait-gone TformTips 5000
check_eq "Tips still on after a plain close" 1 "$(reg_value 'HKCU\Software\Pellomar\3D Vexlor\Settings' Tips | sed 's/^0x//')"

# Windows asks whether it may end the session: yes, and the program ends as on Exit.
check_eq "log-off allowed" 1 "$(drv send T_3DVexlorControlForm 0x0011)"
check "program ended" wait_pid "$first" 30
check_eq "the remembered wallpaper is put back" 'C:\windows\mine.bmp' "$(wallpaper)"
check "stand-in desktop stops" stop_desktop
finish
