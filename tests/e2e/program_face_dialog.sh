#!/usr/bin/env bash
# The face picture dialog end to end: the control's request opens it for the face written into "Opt.ini",
# one at a time; the colour selector drops its palette; a colour picked there and Apply write "Opt.ini";
# OK closes. Screenshots of the dialog, the open palette and the applied preview are kept.
. "$(dirname "$0")/lib_program.sh"
prepare 0
start_hosted
profile=$(vx_wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')
data="$(vx_wine winepath -u "$profile" 2>/dev/null | tr -d '\r')/Application Data/Pellomar/3D Vexlor"
opt="$data/Opt.ini"
pictures="$VX_DRIVE_C/windows/Temp/vexlor_face_e2e"
rm -rf "$pictures"
mkdir -p "$pictures" "$data"
convert -size 60x40 xc:red xc:lime +append \( -size 60x40 xc:blue xc:yellow +append \) -append \
  -type TrueColor "BMP3:$pictures/sea.bmp"
ini_value() { tr -d '\r' <"$opt" | sed -n "s/^$1=//p"; }
click() { drv child-post TfrmOptions "$1" 0x00F5 >/dev/null; }  # BM_CLICK

# What the control writes before it asks for the dialog: face 2, centred, white.
printf '[DESK]\r\nIndex=2\r\nResW=512\r\nResH=512\r\nFileName=C:\\windows\\Temp\\vexlor_face_e2e\\sea.bmp\r\nBKColor=16777215\r\nbpp=1\r\n' >"$opt"
drv post _3DVexlorControlWnd _3D_Gran_Options >/dev/null
check "the control's request opens the dialog" drv wait TfrmOptions 10000
check_eq "caption" "Options" "$(drv text TfrmOptions)"
drv post _3DVexlorControlWnd _3D_Gran_Options >/dev/null
sleep 0.7
check_eq "a second request opens no second dialog" 1 "$(drv count TfrmOptions)"
screenshot face_dialog

# The colour selector's palette, then navy (row 4, column 2) picked in it.
drv child-post TfrmOptions TColorSelector 0x0201 1 0x00050005 >/dev/null
drv child-post TfrmOptions TColorSelector 0x0202 0 0x00050005 >/dev/null
check "the palette drops" drv wait TColorForm 5000
sleep 0.5
screenshot face_palette
drv post TColorForm 0x0201 1 $(((66 << 16) | 30)) >/dev/null
sleep 0.5
click Apply
ok=1
for _ in $(seq 1 200); do [ "$(ini_value BKColor)" = 8388608 ] && { ok=0; break; }; sleep 0.1; done
check "Apply wrote the colour picked in the palette" test $ok -eq 0
check_eq "Apply kept the face" 2 "$(ini_value Index)"
check_eq "Apply kept the position" 1 "$(ini_value bpp)"
check_eq "Apply kept the picture" 'C:\windows\Temp\vexlor_face_e2e\sea.bmp' "$(ini_value FileName)"
sleep 0.3
screenshot face_applied
click Ok
check "Ok closes the dialog" drv wait-gone TfrmOptions 5000
check "the program runs on" kill -0 "$PROG_PID"
rm -rf "$pictures"
finish
