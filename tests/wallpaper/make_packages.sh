#!/usr/bin/env bash
# Makes the packages and cabinets of the wallpaper tests with gcab.
# Usage: make_packages.sh <out folder> <good plug-in> <1.1 plug-in> <2.0 plug-in> <plug-in without Version>
set -euo pipefail
out=$1 good=$2 v11=$3 v20=$4 noversion=$5
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out"

# A plug-in package: the library at the top, its colour in data\colour.txt.
package() {  # package <name> <plug-in or "">
  local dir="$stage/$1"
  mkdir -p "$dir/data"
  printf '3366CC\n' >"$dir/data/colour.txt"
  if [ -n "$2" ]; then cp "$2" "$dir/wallpaper.dll"; fi
  rm -f "$out/$1.3dv"
  (cd "$dir" && gcab -c -z "$out/$1.3dv" $( [ -n "$2" ] && echo wallpaper.dll ) data/colour.txt)
}
package good "$good"
package v11 "$v11"
package v20 "$v20"
package noversion "$noversion"
package nodll ""

# A tree of compressible and incompressible files in subfolders, with known times; the originals are kept
# beside the cabinet for comparison.
rm -rf "$out/tree" && mkdir -p "$out/tree/sub/deeper"
printf 'top file\r\n' >"$out/tree/a.txt"
head -c 100000 /dev/urandom >"$out/tree/sub/b.bin"
for i in $(seq 1 3000); do echo "line $i of a compressible text"; done >"$out/tree/sub/deeper/c.txt"
: >"$out/tree/sub/empty.txt"
touch -d '2001-02-03 04:05:06' "$out/tree/a.txt"
touch -d '2010-11-12 13:14:16' "$out/tree/sub/b.bin" "$out/tree/sub/deeper/c.txt" "$out/tree/sub/empty.txt"
rm -f "$out/tree.cab"
(cd "$out/tree" && gcab -c -z "$out/tree.cab" a.txt sub/b.bin sub/deeper/c.txt sub/empty.txt)

printf 'not a cabinet at all\r\n' >"$out/notacab.3dv"
