#!/usr/bin/env bash
# Installs what building and running the desktop under Wine needs on Debian 12, for the targets this
# machine runs (see targets.sh): the 64-bit compiler and Wine always; the 32-bit compiler, wine32 and its
# i386 X libraries (and with them the i386 architecture) only where 32-bit programs run.
# Idempotent: when every package is already there, nothing is fetched.
set -euo pipefail
. "$(dirname "$0")/targets.sh"
targets=$(vexlor_targets)

packages=(
  cmake make ninja-build nasm dpkg-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 libwine-dev
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  googletest gcab fp-utils
)
want_i386=0
if grep -qx i686 <<<"$targets"; then
  want_i386=1
  packages+=(
    g++-mingw-w64-i686-posix wine32:i386
    libxcomposite1:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386
    libxinerama1:i386 libxcursor1:i386 libxfixes3:i386 libxxf86vm1:i386
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
srcfile=/etc/apt/sources.list.d/vexlor-deb-src.sources
if [ ${#missing[@]} -eq 0 ] && [ -f "$srcfile" ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ $want_i386 = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

# libjpeg-turbo is built for the target from Debian's source package: that needs deb-src lines. They are
# the machine's own Debian archive entries (whatever mirror its apt configuration names), as deb-src.
if [ ! -f "$srcfile" ]; then
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  lines=$(bash "$(dirname "$0")/deb-src-lines.sh" "$codename" /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
    /etc/apt/sources.list.d/*.sources)
  if [ -z "$lines" ]; then
    echo "install: no Debian '$codename' archive entry in the apt sources to take a deb-src line from" >&2
    exit 1
  fi
  printf '%s\n' "$lines" | $sudo tee "$srcfile" >/dev/null
fi

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${packages[@]}"
