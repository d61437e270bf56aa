#!/usr/bin/env bash
# Installs what building and running the desktop under Wine needs on Debian 12.
# Idempotent: when every package is already there, nothing is fetched.
set -euo pipefail

packages=(
  cmake make ninja-build nasm dpkg-dev
  g++-mingw-w64-i686-posix mingw-w64-tools
  wine wine32:i386 libwine-dev
  libxcomposite1:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386
  libxinerama1:i386 libxcursor1:i386 libxfixes3:i386 libxxf86vm1:i386
  xvfb xauth x11-apps x11-utils imagemagick
  googletest gcab fp-utils
)

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

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi

# libjpeg-turbo is built for the target from Debian's source package: that needs deb-src.
if [ ! -f "$srcfile" ]; then
  $sudo tee "$srcfile" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
fi

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q "${packages[@]}"
