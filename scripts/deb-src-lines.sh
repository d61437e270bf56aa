#!/usr/bin/env bash
# Prints deb-src entries (deb822 stanzas) for the Debian archive entries of the given apt source files:
# every enabled "deb" entry whose suite belongs to the release <codename> (bookworm, bookworm-updates,
# bookworm-security, ...), with its own mirror address, components and signing key.
# Usage: deb-src-lines.sh <codename> <file>...   (one-line .list files and deb822 .sources files; missing
# files are skipped)
set -euo pipefail
codename=$1; shift
[ -n "$codename" ] || exit 0
for f in "$@"; do
  [ -f "$f" ] || continue
  case "$f" in
    *.sources)
      # deb822: blank-line separated stanzas of "Field: value" lines (continuation lines start with blanks).
      awk -v rel="$codename" '
        function suites_of(s,   n, a, i, out) {
          n = split(s, a, /[ \t]+/); out = ""
          for (i = 1; i <= n; i++) if (a[i] == rel || index(a[i], rel "-") == 1) out = out (out ? " " : "") a[i]
          return out
        }
        function flush(   t, s) {
          t = " " f["types"] " "
          s = suites_of(f["suites"])
          if (t ~ / deb / && s != "" && tolower(f["enabled"]) != "no" && f["uris"] != "") {
            printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", f["uris"], s, f["components"]
            if (f["signed-by"] != "") printf "Signed-By: %s\n", f["signed-by"]
            print ""
          }
          delete f
        }
        /^[ \t]*#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^[ \t]/ { next }
        {
          key = tolower(substr($0, 1, index($0, ":") - 1))
          val = substr($0, index($0, ":") + 1); gsub(/^[ \t]+|[ \t]+$/, "", val)
          f[key] = val
        }
        END { flush() }
      ' "$f" ;;
    *)
      # One-line format: deb [options] uri suite component...
      awk -v rel="$codename" '
        $1 != "deb" { next }
        {
          i = 2; signed = ""
          if ($2 ~ /^\[/) {
            opts = ""
            for (; i <= NF; i++) { opts = opts " " $i; if ($i ~ /\]$/) { i++; break } }
            if (match(opts, /signed-by=[^] ]+/)) signed = substr(opts, RSTART + 10, RLENGTH - 10)
          }
          uri = $i; suite = $(i + 1); comps = ""
          for (j = i + 2; j <= NF && $j !~ /^#/; j++) comps = comps (comps ? " " : "") $j
          if (suite != rel && index(suite, rel "-") != 1) next
          printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", uri, suite, comps
          if (signed != "") printf "Signed-By: %s\n", signed
          print ""
        }
      ' "$f" ;;
  esac
done
