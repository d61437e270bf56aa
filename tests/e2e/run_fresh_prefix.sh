#!/usr/bin/env bash
# The run command's desktop step as a new user meets it: a brand-new Wine prefix, no display of its own.
# It must make the prefix, bring the desktop up, save a screenshot that shows the cube, end everything
# and succeed; and it starts only Wine programs of the target under test (on x86_64 no 32-bit program of
# ours at all, so that it runs where the kernel can't execute one).
set -u
VEXLOR_ROOT=${VEXLOR_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$VEXLOR_ROOT/scripts/targets.sh"
. "$VEXLOR_ROOT/tests/support/checks.sh"
vexlor_use_target "${VEXLOR_TARGET:-$(vexlor_main_target)}"
out="$VEXLOR_BUILD/e2e/$T_NAME"
rm -rf "$out"
mkdir -p "$out"
wine_root="$out/wine"
prefix="$wine_root/$WINEARCH"

prefix_pids() {  # the processes whose environment names the new prefix
  local d
  for d in /proc/[0-9]*; do
    { tr '\0' '\n' <"$d/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" && echo "${d#/proc/}"
  done
}
# Every process of the new prefix, as "<pid> <exe> <ELF class> <command line>" (class 1: 32-bit, 2: 64-bit;
# once started, a Wine process's command line is the Windows program it runs), sampled while it runs.
watch_prefix() {
  local pid exe
  while :; do
    for pid in $(prefix_pids); do
      exe=$(readlink "/proc/$pid/exe") || continue
      printf '%s %s %s %s\n' "$pid" "$exe" "$(od -An -tu1 -j4 -N1 "/proc/$pid/exe" 2>/dev/null | tr -d ' ')" \
        "$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
    done
    sleep 0.3
  done
}
watch_prefix >"$out/processes.raw" 2>/dev/null &
watcher=$!

( unset DISPLAY; VEXLOR_WINE_ROOT="$wine_root" VEXLOR_SHOT="$out/screenshot.png" VEXLOR_SHOT_DELAY=3 \
  timeout 300 bash "$VEXLOR_ROOT/scripts/run-desktop.sh" ) >"$out/run.log" 2>&1
rc=$?
kill "$watcher" 2>/dev/null
cut -d' ' -f2- "$out/processes.raw" | sort -u >"$out/processes.txt"

check_eq "run on a brand-new prefix succeeds" 0 "$rc"
[ "$rc" = 0 ] || tail -n 20 "$out/run.log"
check "the prefix was made" test -d "$prefix/drive_c/windows/system32"
mean=$(convert "$out/screenshot.png" -gravity center -crop 200x200+0+0 +repage -format '%[fx:mean]' info: 2>/dev/null)
check "the screenshot shows the cube (centre not black)" awk -v m="${mean:-0}" 'BEGIN { exit !(m > 0.05) }'
check "Wine processes of the prefix were seen" test -s "$out/processes.txt"
if [ "$VEXLOR_TARGET" = x86_64 ]; then
  # Where Wine's 32-bit loader is installed and runs, the 64-bit wineboot of a win64 prefix starts Wine's
  # own 32-bit setup step; that process (whatever an early sample saw of it) is Wine's, not ours.
  wow64_setup=$(grep -E '^[0-9]+ /usr/lib/wine/wine 1 C:\\windows\\syswow64\\rundll32\.exe setupapi,InstallHinfSection Wow64Install ' \
    "$out/processes.raw" | cut -d' ' -f1 | sort -u)
  check_eq "no 32-bit program started (Wine's own WoW64 setup aside)" "" \
    "$(awk -v skip=" $(echo $wow64_setup) " '$3 == 1 && index(skip, " " $1 " ") == 0 { $1 = ""; print substr($0, 2) }' \
      "$out/processes.raw" | sort -u)"
fi
check_eq "nothing of the prefix left running" "" "$(prefix_pids)"
cat "$out/processes.txt"
rm -rf "$wine_root"
finish
