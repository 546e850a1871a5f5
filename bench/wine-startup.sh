#!/usr/bin/env bash
# Start-up of Portwright.exe under Wine, from process start to its window shown,
# against a bare Win32 window program in the same prefix and X session. Needs
# the 64-bit Windows build (make windows); says so and stops without it.
#   bench/wine-startup.sh [NATIVE_BUILD_DIR]   (the argument is not used)
#   PW_WIN_BUILD=build-win64 RUNS=15 bench/wine-startup.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PW_WIN_BUILD:-$root/build-win64}
runs=${RUNS:-15}
exe=$build/ui/win32/Portwright.exe
drive=$build/tests/win32_exe/pwdrive.exe
bare=$build/tests/win32_exe/barewindow.exe
for file in "$exe" "$drive" "$bare"; do
  if [ ! -f "$file" ]; then
    echo "wine-startup: skipped, $file is missing; run 'make windows' first"
    exit 0
  fi
done

. "$root/tests/win32_exe/wine-session.sh"
pick_wine_loader "$exe" "$0" "$@"
start_session
run_wine reg add 'HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters' /v HostName /d EXCH1 /f >/dev/null
run_wine reg add 'HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters' /v Domain /d corp.example /f >/dev/null
run_wine reg add 'HKLM\SOFTWARE\Microsoft\Rpc\RpcProxy' /v ValidPorts /d EXCH1:100-5000 /f >/dev/null

measure() {  # measure EXE CLASS: one start, in milliseconds
  run_wine "$drive" startup-ms "$(winepath_of "$1")" "$2" | tr -d '\r'
}
winepath_of() { echo "Z:${1//\//\\}"; }
summary() {  # summary NAME VALUES...: median and range
  local name=$1; shift
  printf '%s\n' "$@" | sort -n | awk -v name="$name" '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-16s median %7.1f ms   min %7.1f   max %7.1f   (%d runs)\n", name, m, v[1], v[NR], NR }'
}

# Warm-up: the first loads of Wine's DLLs and of each program file.
measure "$bare" PortwrightBareWindow >/dev/null
measure "$exe" PortwrightMainWindow >/dev/null
bare_times=() portwright_times=()
for _ in $(seq "$runs"); do
  bare_times+=("$(measure "$bare" PortwrightBareWindow)")
  portwright_times+=("$(measure "$exe" PortwrightMainWindow)")
done
echo "process start to window shown, under Wine $(run_wine --version 2>/dev/null | tr -d '\r')"
summary "bare window" "${bare_times[@]}"
summary "Portwright.exe" "${portwright_times[@]}"
# Each round's pair ran back to back, so their ratio suffers less from a machine
# whose load changes between rounds than the ratio of the medians does.
paste -d' ' <(printf '%s\n' "${portwright_times[@]}") <(printf '%s\n' "${bare_times[@]}") |
  awk '{ print $1 / $2 }' | sort -n | awk '{ r[NR] = $1 } END {
    m = NR % 2 ? r[(NR + 1) / 2] : (r[NR / 2] + r[NR / 2 + 1]) / 2
    printf "ratio per round  median %7.2f      min %7.2f   max %7.2f   (target 1.3)\n", m, r[1], r[NR] }'
echo "load average $(cut -d' ' -f1 /proc/loadavg) on $(nproc) cores (wall times grow with it)"
echo "sizes: Portwright.exe $(stat -c %s "$exe") bytes$( [ -f "${build%64}32/ui/win32/Portwright.exe" ] && echo ", 32-bit $(stat -c %s "${build%64}32/ui/win32/Portwright.exe") bytes")"
