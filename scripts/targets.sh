# Sourced by every script: which Windows targets this machine builds and runs, decided in this one place.
#   i686    the product: 32-bit Windows binaries, run by Wine's 32-bit loader in a win32 prefix
#   x86_64  the same sources as 64-bit Windows binaries, run by Wine's 64-bit loader in a win64 prefix
# VEXLOR_ARCH=i686|x86_64|both forces the choice; unset, the choice follows what is installed: a machine
# whose 32-bit Wine runs takes both (i686 first), any other the 64-bit one only. Whether the 32-bit half is
# to be installed at all is the kernel's answer (vexlor_kernel_runs_32), asked by the install step.
VEXLOR_ROOT=${VEXLOR_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
VEXLOR_BUILD_ROOT=${VEXLOR_BUILD_ROOT:-$VEXLOR_ROOT/build}
VX_WINE32_LOADER=/usr/lib/wine/wine
VX_WINE64_LOADER=/usr/lib/wine/wine64

# True when this kernel executes 32-bit programs: a minimal 32-bit ELF that only exits (some kernels have
# IA-32 emulation switched off). VX_KERNEL_RUNS_32=0|1 gives the answer instead.
vexlor_kernel_runs_32() {
  if [ -n "${VX_KERNEL_RUNS_32:-}" ]; then return "$VX_KERNEL_RUNS_32"; fi
  VX_KERNEL_RUNS_32=1
  if [ -x "$VX_WINE32_LOADER" ] && "$VX_WINE32_LOADER" --version >/dev/null 2>&1; then
    VX_KERNEL_RUNS_32=0
  else
    local probe
    mkdir -p "$VEXLOR_BUILD_ROOT"
    probe=$(mktemp "$VEXLOR_BUILD_ROOT/.elf32-probe.XXXXXX")
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x00\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" >/dev/null 2>&1 && VX_KERNEL_RUNS_32=0
    rm -f "$probe"
  fi
  return "$VX_KERNEL_RUNS_32"
}

# True when the 32-bit target can be built and run here: the 32-bit compiler is installed and Wine's
# 32-bit loader runs. VX_CAN_RUN_32=0|1 gives the answer instead.
vexlor_can_run_32() {
  if [ -n "${VX_CAN_RUN_32:-}" ]; then return "$VX_CAN_RUN_32"; fi
  VX_CAN_RUN_32=1
  if command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 && [ -x "$VX_WINE32_LOADER" ] &&
    "$VX_WINE32_LOADER" --version >/dev/null 2>&1; then
    VX_CAN_RUN_32=0
  fi
  return "$VX_CAN_RUN_32"
}

# Runs the install step once for this command (build.sh and the commands that call it share it).
vexlor_install_deps() {
  [ -n "${VX_DEPS_INSTALLED:-}" ] && return 0
  bash "$VEXLOR_ROOT/scripts/install-deps.sh" || return $?
  export VX_DEPS_INSTALLED=1
  unset VX_CAN_RUN_32
}

# Prints the targets to build and test, one per line, 32-bit first. A target this machine can't run is a
# one-line error (exit status 2).
vexlor_targets() {
  case "${VEXLOR_ARCH:-}" in
    "")
      if vexlor_can_run_32; then printf 'i686\nx86_64\n'; else echo x86_64; fi ;;
    both|i686)
      if ! vexlor_kernel_runs_32; then
        echo "VEXLOR_ARCH=$VEXLOR_ARCH: this machine's kernel cannot run 32-bit programs; use VEXLOR_ARCH=x86_64" >&2
        return 2
      fi
      if [ "$VEXLOR_ARCH" = both ]; then printf 'i686\nx86_64\n'; else echo i686; fi ;;
    x86_64) echo x86_64 ;;
    *) echo "VEXLOR_ARCH=$VEXLOR_ARCH: expected i686, x86_64 or both" >&2; return 2 ;;
  esac
}

# One line on why the automatic choice leaves the 32-bit target out where the kernel is the reason
# (nothing else: where the 32-bit half could not be installed, the install step has said so).
vexlor_why_64_only() {
  [ -z "${VEXLOR_ARCH:-}" ] && ! vexlor_kernel_runs_32 || return 0
  echo "this machine's kernel runs no 32-bit programs"
}

# The one target a single run (the desktop, the benchmark) uses: the first of vexlor_targets.
vexlor_main_target() {
  local t
  t=$(vexlor_targets) || return 2
  echo "${t%%$'\n'*}"
}

# Sets the environment of one target: its build tree, toolchain file, Wine prefix, loader and server.
vexlor_use_target() {
  VEXLOR_TARGET=$1
  case "$VEXLOR_TARGET" in
    # One server serves either kind of prefix; Debian's own wrapper prefers the 64-bit one, as here.
    i686)   VX_WINEARCH=win32; VX_WINE=$VX_WINE32_LOADER; VX_WINESERVER=/usr/lib/wine/wineserver64
            [ -x "$VX_WINESERVER" ] || VX_WINESERVER=/usr/lib/wine/wineserver32 ;;
    x86_64) VX_WINEARCH=win64; VX_WINE=$VX_WINE64_LOADER; VX_WINESERVER=/usr/lib/wine/wineserver64 ;;
    *) echo "unknown target $VEXLOR_TARGET" >&2; return 2 ;;
  esac
  export VEXLOR_TARGET VX_WINE VX_WINESERVER
  export VEXLOR_BUILD="$VEXLOR_BUILD_ROOT/$VEXLOR_TARGET"
  export VEXLOR_TOOLCHAIN="$VEXLOR_ROOT/cmake/toolchain-$VEXLOR_TARGET-mingw.cmake"
  export WINEARCH=$VX_WINEARCH
  export WINEPREFIX="$VEXLOR_BUILD_ROOT/wine/$VX_WINEARCH"
  export WINELOADER=$VX_WINE WINESERVER=$VX_WINESERVER
}
