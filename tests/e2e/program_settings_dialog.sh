#!/usr/bin/env bash
# The settings dialog end to end: opened by the control's request and by the tray menu, one at a time;
# OK saves the settings and reloads the desktop page, and the new control starts with them (it hides the
# desktop icons) under the notification area's window, as before; Cancel saves nothing and reloads
# nothing. Screenshots of the three tabs are kept.
. "$(dirname "$0")/lib_program.sh"
prepare 0
start_hosted
SETTINGS='HKCU\Software\Pellomar\3D Vexlor\Settings'
hosted() { grep -c 'hosting the control' "$T_OUT/desktop.log"; }
click() { drv child-post Tfrm3DVexlorOptions "$1" 0x00F5 >/dev/null; }  # BM_CLICK
tab_right() { drv child-post Tfrm3DVexlorOptions SysTabControl32 0x0100 0x27 >/dev/null; sleep 0.4; }
tray_shot() {  # tray_shot <name>: the icons' half of the notification area's window as the X screen shows it
  local l t r b
  read -r l t r b < <(drv rect __winex11_standalone_tray)
  vexlor_xscreen | convert miff:- -crop "$((r - l))x$(((b - t) / 2))+$l+$(((t + b) / 2))" +repage "$T_OUT/$1.png" 2>/dev/null
}
tray_as_before() {
  tray_shot tray_after && [ "$(compare -metric AE "$T_OUT/tray_before.png" "$T_OUT/tray_after.png" /dev/null 2>&1)" -lt 50 ]
}
tray_options() {  # the tray menu's "3D Vexlor Options": the notice, Help topics, Tips, License, About..., it
  drv tray TTrayIconWindow 0x0202 >/dev/null
  drv wait '#32768' 5000 >/dev/null && menu_settle && menu_keys 0x24 0x28 0x28 0x28 0x28 0x28 0x0D
}

check_eq "icons shown before" 1 "$(drv icons)"
sleep 1
tray_shot tray_before
n=$(hosted)
drv post _3DVexlorControlWnd _3D_Options >/dev/null
check "the control's request opens the dialog" drv wait Tfrm3DVexlorOptions 10000
check_eq "caption" "3D Vexlor options" "$(drv text Tfrm3DVexlorOptions)"
drv post _3DVexlorControlWnd _3D_Options >/dev/null
sleep 0.5
check_eq "a second request opens no second dialog" 1 "$(drv count Tfrm3DVexlorOptions)"
drv tray TTrayIconWindow 0x0202 >/dev/null
check "the tray menu opens while the dialog is open" drv wait '#32768' 5000
check "its selection settles" menu_settle
menu_keys 0x24 0x28 0x28 0x28 0x28 0x28 0x0D   # "3D Vexlor Options", as below where it opens the dialog
sleep 0.7
check_eq "its \"3D Vexlor Options\" opens no second dialog" 1 "$(drv count Tfrm3DVexlorOptions)"
check_eq "nor anything else" 1 "$(drv exists TformTips; echo $?)"
screenshot settings
click "Hide default Windows Icons"
tab_right
screenshot settings_3d
tab_right
screenshot settings_wallpaper
click OK
check "OK closes the dialog" drv wait-gone Tfrm3DVexlorOptions 5000
check_eq "hide_shotcuts saved" 0x1 "$(reg_value "$SETTINGS" hide_shotcuts)"
ok=1
for _ in $(seq 1 300); do [ "$(hosted)" -gt "$n" ] && { ok=0; break; }; sleep 0.2; done
check "the desktop page was reloaded: a new control" test $ok -eq 0
check "the new control is up" drv wait _3DVexlorActiveXWnd 60000
ok=1
for _ in $(seq 1 300); do [ "$(drv icons)" = 0 ] && { ok=0; break; }; sleep 0.2; done
check "the new control started with the saved setting (icons hidden)" test $ok -eq 0
check "the notification area's window shows over the new control" wait_for 10 tray_as_before

# Cancel: nothing saved, nothing reloaded.
n=$(hosted)
tray_options
check "the tray menu opens the dialog" drv wait Tfrm3DVexlorOptions 10000
click "Hide default Windows Icons"
click Cancel
check "Cancel closes the dialog" drv wait-gone Tfrm3DVexlorOptions 5000
sleep 1
check_eq "hide_shotcuts unchanged" 0x1 "$(reg_value "$SETTINGS" hide_shotcuts)"
check_eq "the page was not reloaded" "$n" "$(hosted)"
finish
