#!/usr/bin/env bash
# The control's requests to the control window: file properties by WM_COPYDATA (exactly cbData bytes,
# dwData 2 only, nothing for no data), the new-shortcut wizard in the face's folder (cancelled), the display
# properties, help and licence in their window types, the tips (one at a time); and from the first
# tear-down step on, the still-live tray menu opens nothing and a second Exit does nothing.
. "$(dirname "$0")/lib_program.sh"
prepare 0
set_wallpaper 'C:\windows\mine.bmp'
PROGRAM_WINEDEBUG="-all,fixme+shell" start_hosted _3DVexlorControlWnd

# File properties: Wine's sheet is a stub that reports the path it got.
props() { grep -c 'SHObjectProperties' "$T_OUT/program.log"; }
check_eq "WM_COPYDATA dwData 2 answered 1" 1 "$(drv copydata _3DVexlorControlWnd 2 'C:\windows\win.ini')"
sleep 0.3
check "properties asked for exactly the bytes sent" grep -q 'SHObjectProperties.*L"C:\\\\windows\\\\win.ini"' "$T_OUT/program.log"
n=$(props)
check_eq "dwData 3 answered 1" 1 "$(drv copydata _3DVexlorControlWnd 3 'C:\windows\system.ini')"
check_eq "no data answered 1" 1 "$(drv copydata _3DVexlorControlWnd 2 -)"
sleep 0.3
check_eq "neither asked for properties" "$n" "$(props)"

# The new-shortcut wizard is started in the face's folder (the stand-in applet records its command).
log="$VX_DRIVE_C/windows/Temp/NewLinkHere.log"
drv post _3DVexlorControlWnd _3D_Create 3 >/dev/null
wait_for 60 test -s "$log"
line=$(head -n1 "$log" 2>/dev/null | tr -d '\r')
check "wizard started with the face 3 folder" bash -c '[[ "$1" =~ ^NewLinkHere\ C:\\.*\\Application\ Data\\Pellomar\\3D\ Vexlor\\Desktops\\3\\$ ]]' _ "$line"
echo "     ($line)"
check "the wizard asks for the shortcut" drv wait NewLinkWizard 30000
drv post NewLinkWizard 0x0010 >/dev/null   # WM_CLOSE: cancelled
check "the cancelled wizard closes" drv wait-gone NewLinkWizard 10000
# The display properties: the control panel opens desk.cpl (the applet stand-in notes it).
drv post _3DVexlorControlWnd _3D_DispProp >/dev/null
check "display properties opened" wait_for 30 grep -qi 'CPlApplet .*\\desk\.cpl' "$VX_DRIVE_C/windows/Temp/Applet.log"

# The about box of the splash library; the program goes on answering while it is open.
drv post _3DVexlorControlWnd _3D_About >/dev/null
check "about box shown" drv wait '#32770' 10000
check_eq "about box answers requests meanwhile" 1 "$(drv copydata _3DVexlorControlWnd 7 'x')"
check "about box text" bash -c '[[ "$1" == "3D Vexlor"* ]]' _ "$(drv msgbox | head -n1)"
check "about box closed" drv wait-gone '#32770' 5000

# Help and licence.
drv post _3DVexlorControlWnd _3D_License >/dev/null
check "licence window opened" drv wait "HH Parent" 10000
drv post _3DVexlorControlWnd _3D_Help >/dev/null
sleep 0.5

# Tips, one at a time.
drv post _3DVexlorControlWnd _3D_Tips >/dev/null
check "tips dialog opened" drv wait TformTips 10000
drv post _3DVexlorControlWnd _3D_Tips >/dev/null
sleep 0.5
check_eq "a second request opens no second dialog" 1 "$(drv count TformTips)"
screenshot tips
drv post TformTips 0x0010 >/dev/null   # WM_CLOSE
check "tips dialog closed" drv wait-gone TformTips 5000
# The tray menu's "Tips" (three items down: the notice, Help topics, Tips) opens them while the program runs.
drv tray TTrayIconWindow 0x0202 >/dev/null
drv wait '#32768' 5000 >/dev/null && menu_settle
menu_keys 0x24 0x28 0x28 0x0D
check "tray menu Tips opens the dialog" drv wait TformTips 5000
drv post TformTips 0x0010 >/dev/null
drv wait-gone TformTips 5000 >/dev/null

# The tear-down waits while a control window exists: hold one (until it is let go below), then Exit.
hold_window _3DVexlorActiveXWnd 600000
check "a control window is held" drv wait _3DVexlorActiveXWnd 10000
drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "help windows closed at exit" drv wait-gone "HH Parent" 5000
check "control window destroyed at exit" drv wait-gone _3DVexlorControlWnd 5000
put_back() { [ "$(wallpaper)" = 'C:\windows\mine.bmp' ]; }
check "wallpaper put back" wait_for 30 put_back
check "program waits while a control window exists" kill -0 "$PROG_PID"
# A display change during the wait does not put the page back on the desktop.
check_eq "display change answered during the wait" 0 "$(drv send T_3DVexlorControlForm 0x007E)"
sleep 0.3
check_eq "wallpaper stays put back after the display change" 'C:\windows\mine.bmp' "$(wallpaper)"
# The tray menu is still live: "Tips" and "Help topics" open nothing now.
drv tray TTrayIconWindow 0x0202 >/dev/null
check "tray menu opens during the wait" drv wait '#32768' 5000
check "its selection settles" menu_settle
menu_keys 0x24 0x28 0x28 0x0D   # Home: the notice; down: Help topics, Tips; Enter
sleep 0.7
check_eq "no tips dialog during the tear-down" 1 "$(drv exists TformTips; echo $?)"
drv tray TTrayIconWindow 0x0202 >/dev/null
drv wait '#32768' 5000 >/dev/null && menu_settle
menu_keys 0x24 0x28 0x0D   # Home: the notice; down: Help topics; Enter
sleep 0.7
check_eq "no help window during the tear-down" 1 "$(drv exists 'HH Parent'; echo $?)"
# A second Exit changes nothing: the icons, hidden meanwhile, stay hidden.
drv hide-icons >/dev/null
drv tray TTrayIconWindow 0x0202 >/dev/null
drv wait '#32768' 5000 >/dev/null && menu_settle
menu_keys 0x24 0x26 0x0D   # Home: the notice; up: Exit; Enter
check "the menu closed on Exit" drv wait-gone '#32768' 5000
sleep 0.5
check_eq "a second Exit leaves the icons hidden" 0 "$(drv icons)"
kill "$HOLD_PID" 2>/dev/null
check "program ends once the control window is gone" wait_pid "$PROG_PID" 30
check "stand-in desktop stops" stop_desktop
finish
