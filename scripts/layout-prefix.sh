#!/usr/bin/env bash
# Sourced by the run command and the end-to-end scripts: lays the application out in the project's Wine
# prefix (after wine-env.sh). Functions:
#   vexlor_layout        copies the programs, the help file, the desktop page and the stand-ins into the
#                        prefix and registers the control and the Active Desktop stand-in (idempotent)
#   vexlor_win_path      prints the Windows form of a path under the prefix's drive C
# Variables: VX_APP_WIN / VX_APP_UNIX (application folder), VX_STANDINS_WIN / VX_STANDINS_UNIX,
# VX_DRIVER (the driver tool), VX_PAGE_UNIX (the desktop page).
VX_BIN=${VEXLOR_BIN:-$VEXLOR_BUILD/bin}
VX_DRIVE_C="$WINEPREFIX/drive_c"
VX_APP_WIN='C:\Program Files\3D Vexlor'
VX_APP_UNIX="$VX_DRIVE_C/Program Files/3D Vexlor"
VX_STANDINS_WIN='C:\vexlor-standins'
VX_STANDINS_UNIX="$VX_DRIVE_C/vexlor-standins"
VX_PAGE_UNIX="$VX_DRIVE_C/windows/Web/Wallpaper/3DVexlor.html"
VX_DRIVER="$VX_BIN/tools/vexlor_driver.exe"

vexlor_copy_if() {  # copies $1 to folder $2 when it exists; 1 when it does not
  [ -f "$1" ] || { echo "layout: missing $1" >&2; return 1; }
  cp -f "$1" "$2/"
}

vexlor_layout() {
  local ok=0
  mkdir -p "$VX_APP_UNIX" "$VX_STANDINS_UNIX" "$(dirname "$VX_PAGE_UNIX")" "$VX_DRIVE_C/windows/Temp"
  vexlor_copy_if "$VX_BIN/_3DVexlor.exe" "$VX_APP_UNIX" || ok=1
  vexlor_copy_if "$VX_BIN/_3DVexlorFormProj.dll" "$VX_APP_UNIX" || ok=1
  vexlor_copy_if "$VX_BIN/_3DVexlorForms.dll" "$VX_APP_UNIX" || ok=1
  vexlor_copy_if "$VX_BIN/_3DVexlorHelp.chm" "$VX_APP_UNIX" || ok=1
  [ -f "$VX_BIN/space.3dv" ] && cp -f "$VX_BIN/space.3dv" "$VX_APP_UNIX/"
  vexlor_copy_if "$VX_BIN/page/3DVexlor.html" "$(dirname "$VX_PAGE_UNIX")" || ok=1
  vexlor_copy_if "$VX_BIN/vexlor_desktop.exe" "$VX_STANDINS_UNIX" || ok=1
  vexlor_copy_if "$VX_BIN/vexlor_activedesktop.dll" "$VX_STANDINS_UNIX" || ok=1
  # The applet stand-in replaces Wine's appwiz.cpl, which has no wizard, and plays desk.cpl, which Wine lacks.
  if [ -f "$VX_BIN/standins/appwiz.cpl" ]; then
    local cpl
    for cpl in appwiz.cpl desk.cpl; do
      cp -f "$VX_BIN/standins/appwiz.cpl" "$VX_DRIVE_C/windows/system32/$cpl"
      vx_wine reg add 'HKCU\Software\Wine\DllOverrides' /v "$cpl" /d native /f >/dev/null 2>&1
    done
    # Opening a .cpl without a verb: Windows takes the class's only verb, Wine 8 looks for "open" alone.
    vx_wine reg add 'HKCR\cplfile\shell' /ve /d cplopen /f >/dev/null 2>&1
  fi
  vx_wine regsvr32 /s "$VX_STANDINS_WIN\\vexlor_activedesktop.dll" >/dev/null 2>&1 || ok=1
  if [ -f "$VX_APP_UNIX/_3DVexlorFormProj.dll" ]; then
    vx_wine regsvr32 /s "$VX_APP_WIN\\_3DVexlorFormProj.dll" >/dev/null 2>&1 || ok=1
  fi
  return $ok
}

# Puts the prefix's user state back to a plain desktop: no wallpaper, no remembered wallpaper, no settings
# of ours, no logs of the applet stand-in.
vexlor_reset_state() {
  vx_wine reg delete 'HKCU\Software\Pellomar' /f >/dev/null 2>&1
  vx_wine reg add 'HKCU\Software\Microsoft\Internet Explorer\Desktop\General' /v Wallpaper /d '' /f >/dev/null 2>&1
  rm -f "$VX_DRIVE_C/windows/Temp/NewLinkHere.log" "$VX_DRIVE_C/windows/Temp/Applet.log"
}

vexlor_win_path() {  # /.../drive_c/x/y -> C:\x\y
  local p=${1#"$VX_DRIVE_C"}
  printf 'C:%s\n' "${p//\//\\}"
}

# Writes the whole settings record (defaults of the program) with Tips and StartUP as given (0 or 1):
# "vexlor_write_settings <tips> <startup> [hide_shotcuts]". Without StartUP the start-with-Windows value
# goes (a prefix that never had it is fine). Non-zero with one line when the record can't be written.
vexlor_write_settings() {
  local tips=${1:-0} startup=${2:-0} hide=${3:-0} reg rc=0
  reg=$(mktemp --suffix=.reg)
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Pellomar\\3D Vexlor\\Settings]\r\n'
    printf '"use_3d_wallpaper"=dword:00000001\r\n'
    printf '"wallpaper"="C:\\\\Program Files\\\\3D Vexlor\\\\space.3dv"\r\n'
    printf '"ctrl_key"=dword:00000000\r\n"which_key"=dword:00000002\r\n'
    printf '"key_inside"=dword:00004049\r\n"key_hide"=dword:00004048\r\n'
    printf '"hide_shotcuts"=dword:%08x\r\n"d3d_qw"=dword:00000002\r\n' "$hide"
    printf '"FPSLimit"=dword:00000000\r\n"FPS"=dword:0000001e\r\n"ShowFPS"=dword:00000001\r\n'
    printf '"ShowFPSPlace"=dword:00000001\r\n"StartUP"=dword:%08x\r\n"Tips"=dword:%08x\r\n\r\n' "$startup" "$tips"
  } >"$reg"
  vx_wine regedit /s "$(vx_wine winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || rc=$?
  rm -f "$reg"
  if [ $rc -ne 0 ]; then echo "layout: writing the settings failed (regedit exit $rc)" >&2; return 1; fi
  if [ "$startup" = 0 ]; then
    vx_wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v _3DVexlor /f >/dev/null 2>&1 || true
  fi
  return 0
}
