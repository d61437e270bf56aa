#!/usr/bin/env bash
# The cube's context menu on the running desktop, end to end through the control program: "Create shotcut"
# starts the new-shortcut wizard in the face's folder and the shortcut made there shows on the face;
# "Lunark Properties" opens the face picture dialog for the face under the cursor and the cube takes the
# colour applied there; "Shortcut properties" asks for the properties of the selected item; "Delete" asks
# first and takes the item off the face.
. "$(dirname "$0")/lib_program.sh"
prepare 0
empty_front_face
PROGRAM_WINEDEBUG="-all,fixme+shell" start_hosted

icon_gone() { ! icon_shown; }
# The mean colour "r g b" of the face's bottom right corner, beside every cell in use and the dialogs.
corner() {
  vexlor_xscreen | convert miff:- -crop 16x16+822+614 +repage \
    -format '%[fx:int(255*mean.r)] %[fx:int(255*mean.g)] %[fx:int(255*mean.b)]' info: 2>/dev/null
}
corner_is() {  # corner_is <r> <g> <b>: the corner shows about that colour
  awk -v c="$(corner)" -v r="$1" -v g="$2" -v b="$3" 'BEGIN { split(c, v, " ");
    d = (v[1] - r) ^ 2 + (v[2] - g) ^ 2 + (v[3] - b) ^ 2; exit !(d < 30 * 30) }'
}
# menu <n> : opens the cube's menu at the cursor and chooses its n-th item
menu() {
  drv post _3DVexlorActiveXWnd _3D_Popup >/dev/null
  drv wait '#32768' 10000 >/dev/null && menu_settle || return 1
  local i keys=(0x24)
  for ((i = 1; i < $1; i++)); do keys+=(0x28); done
  menu_keys "${keys[@]}" 0x0D
  drv wait-gone '#32768' 5000
}
# From the top: the notice, Help topics, Tips, License, About..., Lunark Properties (6), 3D Vexlor Options,
# Exit, Create shotcut (9), Delete (10), Shortcut properties (11), Arrange by, Properties.

drv cursor 600 450 >/dev/null   # an empty part of face 1
check "the cube shows its face" wait_for 30 corner_is 166 202 240
check_eq "the face starts empty" 1 "$(icon_shown; echo $?)"

# Create shotcut: the wizard asks for the location and the name; the shortcut appears on the face.
check "Create shotcut chosen" menu 9
check "the wizard opens" drv wait NewLinkWizard 30000
screenshot wizard
check "location typed" drv set-text NewLinkWizard 'Edit#1' 'C:\windows\notepad.exe'
check "name typed" drv set-text NewLinkWizard 'Edit#2' 'Editor'
drv child-post NewLinkWizard OK 0x00F5 >/dev/null
check "the wizard closes" drv wait-gone NewLinkWizard 10000
check "the shortcut is written into the face's folder" test -s "$face/Editor.lnk"
check "the shortcut shows on the face" wait_for 20 icon_shown
vexlor_xscreen | convert miff:- "$T_OUT/shortcut.png" 2>/dev/null

# Lunark Properties: the dialog opens for face 1; the colour applied there reaches the running cube.
check "Lunark Properties chosen" menu 6
check "the face picture dialog opens" drv wait TfrmOptions 10000
opt="$data/Opt.ini"
check_eq "the control wrote face 1 for the dialog" 1 "$(tr -d '\r' <"$opt" | sed -n 's/^Index=//p')"
check_eq "with the face's texture width" 512 "$(tr -d '\r' <"$opt" | sed -n 's/^ResW=//p')"
drv child-post TfrmOptions TColorSelector 0x0201 1 0x00050005 >/dev/null
drv child-post TfrmOptions TColorSelector 0x0202 0 0x00050005 >/dev/null
check "the palette drops" drv wait TColorForm 5000
sleep 0.5
drv post TColorForm 0x0201 1 $(((66 << 16) | 30)) >/dev/null   # navy
sleep 0.5
drv child-post TfrmOptions Apply 0x00F5 >/dev/null
check "the cube takes the colour applied" wait_for 20 corner_is 0 0 128
vexlor_xscreen | convert miff:- "$T_OUT/applied.png" 2>/dev/null
drv child-post TfrmOptions Ok 0x00F5 >/dev/null
check "the dialog closes" drv wait-gone TfrmOptions 5000

# Shortcut properties of the item selected by a click on its icon.
drv post T_3DVexlorForm 0x0201 1 $(((130 << 16) | 190)) >/dev/null   # left button down on the icon
drv post T_3DVexlorForm 0x0202 0 $(((130 << 16) | 190)) >/dev/null
drv cursor 190 130 >/dev/null
sleep 0.3
check "Shortcut properties chosen" menu 11
props() { grep -q 'SHObjectProperties.*Desktops\\\\1\\\\Editor\.lnk"' "$T_OUT/program.log"; }
check "the properties of the shortcut were asked for" wait_for 10 props

# Delete asks first, then the item goes from the folder and the face (the menu opens over the icon again:
# choosing the last item moved the pointer on to the menu's rows).
drv cursor 190 130 >/dev/null
sleep 0.3
check "Delete chosen" menu 10
check "the confirmation shows" drv wait '#32770' 10000
check_eq "its question" "Are you realy want to delete file?" "$(drv msgbox | head -n1)"
check "the shortcut file is deleted" wait_for 10 test ! -e "$face/Editor.lnk"
check "and the face shows it no more" wait_for 20 icon_gone

drv post _3DVexlorControlWnd _3D_Exit >/dev/null
check "program ends" wait_pid "$PROG_PID" 30
check "stand-in desktop stops" stop_desktop
# The prefix is the run command's too: leave the face empty, as a fresh one is.
rm -rf "$face" "$face.ini"
finish
