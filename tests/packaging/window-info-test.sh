#!/usr/bin/env bash
# portwright --help and --version answer without starting Qt: under a platform
# that cannot start (xcb without a display) they still print and exit 0, and a
# failed write is exit 1.
#   window-info-test.sh PORTWRIGHT VERSION
set -uo pipefail
program=$1 version=$2 failures=0
run() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$program" "$@"; }
# Arguments | exit code | first line printed
while IFS='|' read -r args code first; do
  # shellcheck disable=SC2086
  out=$(run $args 2>&1 </dev/null); status=$?
  if [ "$status" = "$code" ] && [ "$(head -n1 <<<"$out")" = "$first" ]; then echo "ok   portwright $args"
  else echo "FAIL portwright $args: exit $status, '$out'"; failures=$((failures + 1)); fi
done <<TABLE
--version|0|portwright $version
--help|0|Usage: portwright [--help | --version | QT-OPTIONS]
-platform offscreen --help|0|Usage: portwright [--help | --version | QT-OPTIONS]
TABLE
run --version >/dev/full 2>/dev/null
status=$?
[ "$status" = 1 ] && echo "ok   --version to a full disk: exit 1" ||
  { echo "FAIL --version to a full disk: exit $status"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]
