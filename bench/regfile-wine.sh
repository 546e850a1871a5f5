#!/usr/bin/env bash
# Under Wine, in one throwaway prefix: portwright-cli.exe import against Wine's
# own reg import of the same file (a new key of 10,000 values, as
# bench/regfile.sh makes it), in turn, process start to exit, the key deleted
# before each. Needs the 64-bit Windows build (make windows); says so without it.
#   bench/regfile-wine.sh [NATIVE_BUILD_DIR]   (the argument is not used)
#   PW_WIN_BUILD=build-win64 RUNS=5 bench/regfile-wine.sh
#
# The wineserver and both programs share one processor (PIN=0: not): each
# registry call is a round trip to the wineserver, and across two processors
# of a virtual machine that trip's wake-ups vary threefold from run to run
# (one command took 160 to 680 ms), which buries the programs' own work.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${PW_WIN_BUILD:-$root/build-win64}/cli/portwright-cli.exe
runs=${RUNS:-5}
[ -f "$exe" ] || { echo "regfile-wine: skipped, $exe is missing; run 'make windows' first"; exit 0; }
. "$root/tests/support/wine-prefix.sh" regfile-bench
pin=()
[ "${PIN:-1}" = 0 ] || pin=(taskset -c 0)
wine_run=("${pin[@]}" "$root/scripts/wine-run")
"${wine_run[@]}" "$exe" --version >/dev/null 2>&1  # makes the prefix
reg_exe=$PW_WINEPREFIX/drive_c/windows/system32/reg.exe
# One wineserver for every run, so that no run pays for starting it; the one
# that made the prefix goes first, so that the pinned one serves them all.
WINEPREFIX=$PW_WINEPREFIX /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
WINEPREFIX=$PW_WINEPREFIX /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
WINEPREFIX=$PW_WINEPREFIX "${pin[@]}" /usr/lib/wine/wineserver -p || true

python3 "$(dirname "$0")/make-bench-reg.py" "$PW_WINEPREFIX/drive_c/bench.reg"

timed() {  # milliseconds from start to exit of one command
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
summary() {  # summary NAME VALUES...
  local name=$1; shift
  printf '%s\n' "$@" | sort -n | awk -v name="$name" '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-34s median %7.1f ms   min %7.1f   max %7.1f   (%d runs)\n", name, m, v[1], v[NR], NR }'
}
# Warm-up: the first loads of Wine's DLLs and of each program.
"${wine_run[@]}" "$reg_exe" import 'C:\bench.reg' >/dev/null 2>&1
"${wine_run[@]}" "$exe" import 'C:\bench.reg' >/dev/null 2>&1
ours=() wines=() starts=()
fresh() { "${wine_run[@]}" "$reg_exe" delete 'HKLM\SOFTWARE\PortwrightBench' /f >/dev/null 2>&1 || true; }
# Each goes first in every other run: the wineserver's periodic saves of the
# registry land on whichever import is running.
for run in $(seq "$runs"); do
  if [ $((run % 2)) = 1 ]; then
    fresh; wines+=("$(timed "${wine_run[@]}" "$reg_exe" import 'C:\bench.reg')")
    fresh; ours+=("$(timed "${wine_run[@]}" "$exe" import 'C:\bench.reg')")
  else
    fresh; ours+=("$(timed "${wine_run[@]}" "$exe" import 'C:\bench.reg')")
    fresh; wines+=("$(timed "${wine_run[@]}" "$reg_exe" import 'C:\bench.reg')")
  fi
  starts+=("$(timed "${wine_run[@]}" "$exe" --version)")
done
count=$("${wine_run[@]}" "$reg_exe" query 'HKLM\SOFTWARE\PortwrightBench' 2>/dev/null | grep -c 'REG_' || true)
echo "10,000 values into a new key under Wine (64-bit), $count values there after the last import$([ ${#pin[@]} = 0 ] || echo ", on one processor")"
summary "portwright-cli.exe import" "${ours[@]}"
summary "Wine's reg import" "${wines[@]}"
summary "portwright-cli.exe --version" "${starts[@]}"
awk -v ours="$(median "${ours[@]}")" -v wine="$(median "${wines[@]}")" \
  'BEGIN { printf "import against reg import (medians): %.3fx\n", ours / wine }'
