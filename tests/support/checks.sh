# Sourced by the test scripts: named checks that count failures, and the script's verdict.
T_FAILS=0
T_NAME=$(basename "$0" .sh)
check() {  # check <description> <command...>: the command must succeed
  local what=$1; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; T_FAILS=$((T_FAILS + 1)); fi
}
check_eq() {  # check_eq <description> <expected> <actual>
  if [ "$2" = "$3" ]; then echo "ok   - $1"; else echo "FAIL - $1: expected [$2], got [$3]"; T_FAILS=$((T_FAILS + 1)); fi
}
finish() {
  if [ "$T_FAILS" -ne 0 ]; then echo "$T_NAME: $T_FAILS check(s) failed"; exit 1; fi
  echo "$T_NAME: all checks passed"; exit 0
}
