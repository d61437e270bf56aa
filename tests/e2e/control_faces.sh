#!/usr/bin/env bash
# The faces of the control on the desktop: the front face shows the items of its folder as icons with
# captions, a file created in that folder appears on the cube by itself (the watcher flags the face, the
# monitor tick re-scans it), the face's layout file follows every re-scan, and the face writes its
# picture settings when the control goes.
. "$(dirname "$0")/lib_program.sh"
prepare 0
HOST="$VEXLOR_BUILD/bin/vexlor_host.exe"

profile=$(vx_wine cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')
data=$(vx_wine winepath -u "$profile\\Application Data\\Pellomar\\3D Vexlor\\" 2>/dev/null | tr -d '\r')
face="$data/Desktops/1"
check "data folder found" test -n "$data"
rm -rf "$face" "$face.ini"
mkdir -p "$face"
echo "first" >"$face/first.txt"

# Face 1 in front covers the middle 73 % of the 1024 x 768 screen: texture point (u, v) of its 512 x 512
# picture is screen point (138 + u * 748 / 512, 104 + v * 561 / 512). Icon rectangle of cell (0, r):
# texture (19, 9 + 70 r) to (51, 41 + 70 r).
icon_box() { echo "44x33+167+$((114 + $1 * 77))"; }
# How much the screen varies inside the icon rectangle of cell (0, r): 0 for plain background.
icon_spread() {
  vexlor_xscreen | convert miff:- -crop "$(icon_box "$1")" +repage -format '%[fx:standard_deviation]' info: 2>/dev/null
}
varied() { awk -v s="${1:-0}" 'BEGIN { exit !(s > 0.05) }'; }

hold_window T_3DVexlorControlForm 60000
check "main form stand-in up" drv wait T_3DVexlorControlForm 10000
"$VX_WINE" "$HOST" _3DVexlorFormProj._3DVexlorForm --desktop --seconds 60 >>"$T_OUT/host.log" 2>&1 &
HOST_PID=$!
T_PIDS+=($HOST_PID)
check "control started" drv wait _3DVexlorActiveXWnd 30000

shown=1
for _ in $(seq 1 50); do varied "$(icon_spread 0)" && { shown=0; break; }; sleep 0.2; done
check "the item of the folder shows on the front face" test $shown -eq 0
check "the next cell is empty" bash -c "! awk -v s='$(icon_spread 1)' 'BEGIN { exit !(s > 0.05) }'"
vexlor_xscreen | convert miff:- "$T_OUT/before.png" 2>/dev/null

echo "second" >"$face/second.txt"
shown=1
for _ in $(seq 1 50); do varied "$(icon_spread 1)" && { shown=0; break; }; sleep 0.2; done
check "a new file appears on the face by itself" test $shown -eq 0
vexlor_xscreen | convert miff:- "$T_OUT/after.png" 2>/dev/null
counted=1
for _ in $(seq 1 50); do grep -q '^count=2' "$face.ini" 2>/dev/null && { counted=0; break; }; sleep 0.2; done
check "the layout file follows the re-scan" test $counted -eq 0

drv post VexlorControlHost 0x0010 >/dev/null
check "host ends on close" wait_pid "$HOST_PID" 20
check "the face wrote its picture settings" grep -q '^ResW=512' "$face.ini"
check "and the cells of both items" grep -q '^link1=second.txt' "$face.ini"
kill "$HOLD_PID" 2>/dev/null
# The prefix is the run command's too: leave the face empty, as a fresh one is.
rm -rf "$face" "$face.ini"
finish
