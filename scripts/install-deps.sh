#!/usr/bin/env bash
# Installs what building and running the desktop under Wine needs on Debian 12, in two halves:
#   the 64-bit half, which every machine needs (the 64-bit compiler, Wine, Xvfb and the tools), first and on
#   its own: if it can't be installed, the install fails with apt's own message;
#   the 32-bit half (the 32-bit compiler, wine32 and its i386 X libraries, and with them the i386
#   architecture) where the kernel runs 32-bit programs and the target choice wants it. If it can't be had,
#   one line says so; with VEXLOR_ARCH=i686 or both that is an error, else the 64-bit target goes on alone,
#   and an i386 architecture that this install added is taken away again.
# Package lists that can't be refreshed (a mirror syncing) are retried, then said in one line and left to
# apt-get install, which decides whether what is needed can be had. Idempotent: when every package is
# already there, nothing is fetched.
set -euo pipefail
. "$(dirname "$0")/targets.sh"
apt_dir=${VX_APT_DIR:-/etc/apt}
tries=${VX_APT_TRIES:-3}
pause=${VX_APT_PAUSE:-5}

packages64=(
  cmake make ninja-build nasm dpkg-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 libwine-dev
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  googletest gcab fp-utils
)
packages32=(
  g++-mingw-w64-i686-posix wine32:i386
  libxcomposite1:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386
  libxinerama1:i386 libxcursor1:i386 libxfixes3:i386 libxxf86vm1:i386
)
case "${VEXLOR_ARCH:-}" in
  x86_64) want32=no ;;
  i686|both) vexlor_targets >/dev/null; want32=required ;;
  *) if vexlor_kernel_runs_32; then want32=yes; else want32=no; fi ;;
esac

missing() {  # missing <package...>: prints those not installed
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
missing64=$(missing "${packages64[@]}")
missing32=""
[ $want32 = no ] || missing32=$(missing "${packages32[@]}")
srcfile=$apt_dir/sources.list.d/vexlor-deb-src.sources
if [ -z "$missing64$missing32" ] && [ -f "$srcfile" ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp "${TMPDIR:-/tmp}/vexlor-apt.XXXXXX")
trap 'rm -f "$log"' EXIT

# apt's first error line in the log, or its last line when it printed none.
first_error() { grep -m1 '^E: ' "$log" || tail -n 1 "$log"; }

# Refreshes the package lists, a few tries; lists still unread are said in one line, not fatal.
refreshed=no
refresh() {
  local i
  refreshed=yes
  for ((i = 1; i <= tries; i++)); do
    $sudo apt-get update -q >"$log" 2>&1 && return 0
    [ $i -lt "$tries" ] && sleep "$pause"
  done
  echo "install: some package lists could not be read after $tries tries ($(first_error)); going on with the lists that were read" >&2
}

new_sources=no
# libjpeg-turbo is built for the target from Debian's source package: that needs deb-src lines. They are
# the machine's own Debian archive entries (whatever mirror its apt configuration names), as deb-src.
if [ ! -f "$srcfile" ]; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  lines=$(bash "$(dirname "$0")/deb-src-lines.sh" "$codename" "$apt_dir"/sources.list "$apt_dir"/sources.list.d/*.list \
    "$apt_dir"/sources.list.d/*.sources)
  if [ -z "$lines" ]; then
    echo "install: no Debian '$codename' archive entry in the apt sources to take a deb-src line from" >&2
    exit 1
  fi
  printf '%s\n' "$lines" | $sudo tee "$srcfile" >/dev/null
  new_sources=yes
fi

# The 64-bit half, before any i386 list is read (with i386 on, it would pull i386 libraries along).
if [ -n "$missing64" ] || [ $new_sources = yes ]; then
  refresh
fi
if [ -n "$missing64" ]; then
  $sudo apt-get install -y -q "${packages64[@]}"
fi
[ -n "$missing32" ] || exit 0

# The 32-bit half.
added_i386=no
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
  added_i386=yes
fi
[ $added_i386 = no ] && [ $refreshed = yes ] || refresh
if $sudo apt-get install -y -q "${packages32[@]}" 2>&1 | tee "$log"; then
  exit 0
fi
why=$(first_error)
if [ $added_i386 = yes ] && ! $sudo dpkg --remove-architecture i386 >/dev/null 2>&1; then
  why="$why; the i386 architecture it added stays, as i386 packages are installed"
fi
if [ $want32 = required ]; then
  echo "install: the 32-bit half could not be installed ($why), and VEXLOR_ARCH=$VEXLOR_ARCH asks for it" >&2
  exit 1
fi
echo "install: the 32-bit half could not be installed ($why): the 64-bit target alone is built, run and tested" >&2
