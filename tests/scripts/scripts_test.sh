#!/usr/bin/env bash
# The scripts' rules without Wine: the target choice, the install step against a package source out of step,
# the deb-src lines taken from the machine's own apt sources, what prefix set-up runs (once; an older prefix
# gets only what it missed), and how it and the settings record fail (one line, non-zero, nothing half-done
# marked ready, no temporary file left). Stand-ins play apt, dpkg and Wine.
set -u
VEXLOR_ROOT=${VEXLOR_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$VEXLOR_ROOT/tests/support/checks.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# --- Target choice (the kernel probe's answer and whether the 32-bit half runs given).
targets() {
  (VX_KERNEL_RUNS_32=$1 VX_CAN_RUN_32=$2 VEXLOR_ARCH=$3; . "$VEXLOR_ROOT/scripts/targets.sh"
    vexlor_targets 2>&1; echo "rc=$?") | tr '\n' ' '
}
check_eq "32-bit kernel and Wine: both targets, 32-bit first" "i686 x86_64 rc=0 " "$(targets 0 0 '')"
check_eq "32-bit kernel without a 32-bit Wine installed: the 64-bit target" "x86_64 rc=0 " "$(targets 0 1 '')"
check_eq "64-bit-only kernel: the 64-bit target" "x86_64 rc=0 " "$(targets 1 1 '')"
check "64-bit-only kernel asked for i686: one-line error" \
  bash -c '[[ "$1" =~ ^VEXLOR_ARCH=i686:\ .*x86_64\ rc=2\ $ ]]' _ "$(targets 1 1 i686)"
check "64-bit-only kernel asked for both: error" bash -c '[[ "$1" == *"rc=2 " ]]' _ "$(targets 1 1 both)"
check "unknown target: error" bash -c '[[ "$1" == *"rc=2 " ]]' _ "$(targets 0 0 arm)"

# --- The install step with stand-ins for apt-get, dpkg and dpkg-query: nothing installed, a deb-src file
# already made, a package source whose lists fail $FAKE_UPDATE_FAILS times and whose i386 half can't be
# installed when $FAKE_I386_FAILS is set. Prints its stderr and "rc=N"; the calls go to $scratch/apt.log.
mkdir -p "$scratch/bin" "$scratch/apt/sources.list.d"
: >"$scratch/apt/sources.list.d/vexlor-deb-src.sources"
cat >"$scratch/bin/apt-get" <<'FAKE'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_APT/apt.log"
case "$1" in
  update)
    n=$(grep -c "^apt-get update" "$FAKE_APT/apt.log")
    if [ "$n" -le "${FAKE_UPDATE_FAILS:-0}" ]; then
      echo "E: Failed to fetch http://mirror.example/dists/x/binary-i386/Packages.xz  File has unexpected size"
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
      exit 100
    fi ;;
  install)
    case "$*" in *:i386*) if [ -n "${FAKE_I386_FAILS:-}" ]; then
      echo "E: Unable to correct problems, you have held broken packages."; exit 100
    fi ;; esac ;;
esac
exit 0
FAKE
cat >"$scratch/bin/dpkg" <<'FAKE'
#!/bin/sh
echo "dpkg $*" >>"$FAKE_APT/apt.log"
touch "$FAKE_APT/archs"
case "$1" in
  --print-foreign-architectures) cat "$FAKE_APT/archs" ;;
  --add-architecture) echo "$2" >>"$FAKE_APT/archs" ;;
  --remove-architecture) grep -vx "$2" "$FAKE_APT/archs" >"$FAKE_APT/archs.new"; mv "$FAKE_APT/archs.new" "$FAKE_APT/archs" ;;
esac
FAKE
printf '#!/bin/sh
exit 1
' >"$scratch/bin/dpkg-query"
printf '#!/bin/sh
exec "$@"
' >"$scratch/bin/sudo"
chmod +x "$scratch/bin/"*
install_with() {  # install_with <kernel runs 32: 0|1> <VEXLOR_ARCH> <archs at the start>
  rm -f "$scratch/apt/apt.log"; printf '%s' "$3" >"$scratch/apt/archs"
  (export PATH="$scratch/bin:$PATH" FAKE_APT="$scratch/apt" VX_APT_DIR="$scratch/apt" VX_APT_PAUSE=0 \
      VX_KERNEL_RUNS_32=$1 VEXLOR_ARCH=$2 TMPDIR="$scratch"
    bash "$VEXLOR_ROOT/scripts/install-deps.sh" 2>&1 >/dev/null; echo "rc=$?")
}
out=$(FAKE_UPDATE_FAILS=99 install_with 1 '' '')
check_eq "lists that fail to refresh: retried, said in one line, the install goes on" \
  "3 1 rc=0" "$(grep -c '^apt-get update' "$scratch/apt/apt.log") $(grep -c '^apt-get install' "$scratch/apt/apt.log") $(tail -n 1 <<<"$out")"
check "... the line names apt's first error" bash -c '[[ "$1" == "install: some package lists could not be read after 3 tries (E: Failed to fetch "*"); going on"* ]]' _ "$(head -n 1 <<<"$out")"
out=$(FAKE_I386_FAILS=1 install_with 0 '' '')
check_eq "a 32-bit half that can't be installed: one line, the 64-bit target goes on" \
  "install: the 32-bit half could not be installed (E: Unable to correct problems, you have held broken packages.): the 64-bit target alone is built, run and tested|rc=0|" \
  "$(tr '\n' '|' <<<"$out")"
check_eq "... the 64-bit half installed first, before i386 was added; the i386 architecture taken away again" \
  "install|add|install :i386|remove|archs=" \
  "$(sed -n -e 's/^apt-get install.*:i386.*/install :i386/p' -e 's/^apt-get install.*/install/p' \
      -e 's/^dpkg --\(add\|remove\)-architecture.*/\1/p' "$scratch/apt/apt.log" | tr '\n' '|')archs=$(cat "$scratch/apt/archs")"
out=$(FAKE_I386_FAILS=1 install_with 0 i686 '')
check "... asked for by VEXLOR_ARCH=i686: a one-line error" bash -c '[[ "$1" == "install: the 32-bit half could not be installed (E: Unable"*"), and VEXLOR_ARCH=i686 asks for it|rc=1|" ]]' _ "$(tr '\n' '|' <<<"$out")"
out=$(FAKE_I386_FAILS=1 install_with 0 '' i386)
check_eq "... on a machine that already had i386: it keeps it" "rc=0 archs=i386" "$(tail -n 1 <<<"$out") archs=$(cat "$scratch/apt/archs")"

# --- deb-src lines from the machine's own entries (one-line and deb822 files).
cat >"$scratch/a.list" <<'SRC'
deb [arch=amd64 signed-by=/k.gpg] http://mirror.example/debian bookworm main contrib
deb http://mirror.example/debian sid main
# deb http://commented.example/debian bookworm main
deb-src http://already.example/debian bookworm main
SRC
cat >"$scratch/b.sources" <<'SRC'
Types: deb
URIs: http://own.example/debian
Suites: bookworm bookworm-updates trixie
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://off.example/debian
Suites: bookworm
Components: main
Enabled: no

Types: deb
URIs: https://vendor.example/apt
Suites: nodistro
Components: main
SRC
lines=$(bash "$VEXLOR_ROOT/scripts/deb-src-lines.sh" bookworm "$scratch/a.list" "$scratch/b.sources" "$scratch/none.list")
expected='Types: deb-src
URIs: http://mirror.example/debian
Suites: bookworm
Components: main contrib
Signed-By: /k.gpg

Types: deb-src
URIs: http://own.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
check_eq "deb-src lines: the release's own mirrors, keys and components only" "$expected" "$lines"

# --- Prefix set-up and settings with a stand-in loader.
fake="$scratch/fake-wine"
cat >"$fake" <<'FAKE'
#!/bin/sh
printf '%s [%s]\n' "$*" "$WINEDLLOVERRIDES" >>"$FAKE_LOG"
case "$1" in
  wineboot) [ -n "$FAKE_BOOT_RC" ] && exit "$FAKE_BOOT_RC"; mkdir -p "$WINEPREFIX/drive_c/windows/system32"; exit 0 ;;
  regedit) exit "${FAKE_REGEDIT_RC:-0}" ;;
  winepath) echo "Z:$3"; exit 0 ;;
  reg) [ "$2" = delete ] && exit 1; exit 0 ;;
  regsvr32) exit "${FAKE_REGSVR_RC:-0}" ;;
  *regsvr32.exe) exit "${FAKE_REGSVR32_RC:-0}" ;;
esac
exit 0
FAKE
chmod +x "$fake"
with_fake() {  # with_fake <prefix> <command...>: runs in a subshell with the stand-in as loader and server
  local prefix=$1; shift
  (
    export VEXLOR_TARGET=x86_64
    . "$VEXLOR_ROOT/scripts/wine-env.sh"
    . "$VEXLOR_ROOT/scripts/layout-prefix.sh"
    export WINEPREFIX=$prefix VX_WINE=$fake VX_WINESERVER=$fake FAKE_LOG="$scratch/log"
    set -e
    "$@"
  )
}
export FAKE_BOOT_RC=126
out=$(with_fake "$scratch/p1/win64" vexlor_prefix_ready 2>&1); rc=$?
check "a loader that can't run: set-up fails" test $rc -ne 0
check_eq "... with one line" 1 "$(printf '%s\n' "$out" | wc -l)"
check "... that names the likely cause" bash -c '[[ "$1" == *"cannot execute"*"VEXLOR_ARCH=x86_64"* ]]' _ "$out"
check "... and no ready mark" test ! -e "$scratch/p1/win64/.vexlor-ready"
FAKE_BOOT_RC=""
check "a working loader: set-up succeeds" with_fake "$scratch/p1/win64" vexlor_prefix_ready
check "... and marks the prefix ready" test -f "$scratch/p1/win64/.vexlor-ready"
rm -rf "$scratch/p1/win64/drive_c"
: >"$scratch/log"
check "a marked prefix without system32 is set up again" with_fake "$scratch/p1/win64" vexlor_prefix_ready
check "... through wineboot, with mshtml loadable (its registration writes Wine's file associations)" \
  grep -qE '^wineboot .*\[mscoree=\]$' "$scratch/log"

# A prefix marked by the set-up before the associations: only mshtml's registration, in both halves of a
# win64 prefix, marked once it succeeded; then nothing more.
: >"$scratch/p1/win64/.vexlor-ready"
mkdir -p "$scratch/p1/win64/drive_c/windows/syswow64"
: >"$scratch/p1/win64/drive_c/windows/syswow64/regsvr32.exe"
: >"$scratch/log"
for half in FAKE_REGSVR_RC FAKE_REGSVR32_RC; do
  out=$(export "$half=3" VX_CAN_RUN_32=0; with_fake "$scratch/p1/win64" vexlor_prefix_ready 2>&1); rc=$?
  check "a failing registration ($half) fails with one line and keeps the old mark" \
    bash -c '[ "$1" -ne 0 ] && [ "$(printf "%s\n" "$2" | wc -l)" = 1 ] && [ -f "$3" ] && [ ! -s "$3" ]' _ "$rc" "$out" "$scratch/p1/win64/.vexlor-ready"
done
: >"$scratch/log"
VX_CAN_RUN_32=1 with_fake "$scratch/p1/win64" vexlor_prefix_ready
check_eq "an older mark where no 32-bit program runs: mshtml registered by the 64-bit half alone" \
  'regsvr32 /s mshtml.dll [mscoree=]|' "$(grep -v '^-[wk]' "$scratch/log" | tr '\n' '|')"
check "... and the prefix marked ready" with_fake "$scratch/p1/win64" vexlor_prefix_marked
: >"$scratch/p1/win64/.vexlor-ready"
: >"$scratch/log"
VX_CAN_RUN_32=0 with_fake "$scratch/p1/win64" vexlor_prefix_ready
check_eq "an older mark: mshtml registered (64- and 32-bit) without the override, no new wineboot" \
  'regsvr32 /s mshtml.dll [mscoree=]|C:\windows\syswow64\regsvr32.exe /s C:\windows\system32\mshtml.dll [mscoree=]|' \
  "$(grep -v '^-[wk]' "$scratch/log" | tr '\n' '|')"
: >"$scratch/log"
with_fake "$scratch/p1/win64" vexlor_prefix_ready; rc=$?
check_eq "a prefix marked by this set-up is ready at once, starting no Wine program" "0 " "$rc $(cat "$scratch/log")"

export TMPDIR="$scratch/tmp"
mkdir -p "$TMPDIR"
# (Not inside a check: set -e holds only where the status isn't tested.)
with_fake "$scratch/p1/win64" vexlor_write_settings 1 0; rc=$?
check_eq "settings on a fresh prefix (no start-with-Windows value to delete) succeed under set -e" 0 "$rc"
export FAKE_REGEDIT_RC=1
out=$(with_fake "$scratch/p1/win64" vexlor_write_settings 1 0 2>&1); rc=$?
check "failing regedit: the settings step fails with one line" bash -c '[ "$1" -ne 0 ] && [ "$(printf "%s\n" "$2" | wc -l)" = 1 ]' _ "$rc" "$out"
check_eq "no temporary .reg file left" "" "$(ls -A "$TMPDIR")"
finish
