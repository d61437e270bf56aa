#!/usr/bin/env bash
# The faces of the control on the desktop: the front face shows the items of its folder as icons with
# captions, a file created in that folder appears on the cube by itself (the watcher flags the face, the
# monitor tick re-scans it), the face's layout file follows every re-scan, and the face writes its
# picture settings when the control goes.
. "$(dirname "$0")/lib_program.sh"
prepare 0
HOST="$VEXLOR_BUILD/bin/vexlor_host.exe"

empty_front_face
echo "first" >"$face/first.txt"


hold_window T_3DVexlorControlForm 60000
check "main form stand-in up" drv wait T_3DVexlorControlForm 10000
"$VX_WINE" "$HOST" _3DVexlorFormProj._3DVexlorForm --desktop --seconds 60 >>"$T_OUT/host.log" 2>&1 &
HOST_PID=$!
T_PIDS+=($HOST_PID)
check "control started" drv wait _3DVexlorActiveXWnd 30000

check "the item of the folder shows on the front face" wait_for 10 icon_shown 0
check "the next cell is empty" test "$(icon_shown 1; echo $?)" = 1
vexlor_xscreen | convert miff:- "$T_OUT/before.png" 2>/dev/null

echo "second" >"$face/second.txt"
check "a new file appears on the face by itself" wait_for 10 icon_shown 1
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
