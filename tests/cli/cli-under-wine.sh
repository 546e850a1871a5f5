#!/usr/bin/env bash
# portwright-cli.exe under Wine: its writes read back with Wine's own reg.exe
# (of the program's bitness, so both see the same registry view), the change
# log under drive_c, restore, refusals and exit codes.
#   cli-under-wine.sh PORTWRIGHT_CLI_EXE
# The prefix comes from scripts/wine-run, shared by the runs through PW_WINEPREFIX.
set -uo pipefail
# shellcheck source=cli-wine-session.sh
. "$(dirname "$(readlink -f "$0")")/cli-wine-session.sh" cli "$1"
# cli ARGS...: sets out, err and status.
cli() {
  out=$("$wine_run" "$exe" "$@" 2>"$PW_WINEPREFIX/stderr" | tr -d '\r')
  status=${PIPESTATUS[0]}
  err=$(tr -d '\r' <"$PW_WINEPREFIX/stderr")
  if [ "$status" -eq 77 ]; then echo "$out"; exit 77; fi
}
rpcproxy='HKLM\SOFTWARE\Microsoft\Rpc\RpcProxy'
stored() { reg query "$rpcproxy" /v ValidPorts | awk '$1 == "ValidPorts" { print $2 " " $3 }'; }

# The first run makes the prefix.
cli --version
check "--version" "$status $out" "0 portwright-cli 1.0.0.0"
use_reg_of_bitness

cli check
check "check without a value: findings, exit 1" "$status $out" \
      "1 ValidPorts is missing or empty: the RPC proxy forwards to no server and port"
check "read-only commands create no service keys" \
      "$(reg query 'HKLM\System\CurrentControlSet\Services\MSExchangeIS' >/dev/null; echo $?)" 1

cli compose
composed=$out
check "compose" "$status $(grep -c ':6001-6002;' <<<"$composed")" "0 1"
cli set --dry-run
check "set --dry-run writes nothing" "$status $(stored)" "0 "
cli set
check "set" "$status $(head -n1 <<<"$out")" "0 Registry entry and log created."
check "reg query reads what set wrote" "$(stored)" "REG_SZ $composed"
logpath=$(sed -n 's/^LOGPATH: //p' <<<"$out")
logfile=$PW_WINEPREFIX/drive_c/${logpath#C:\\}
check "the change log" "$(sed -n '7p;9p' "$logfile" 2>/dev/null | tr -d '\r')" \
      "$(printf 'PREVIOUS SETTING=\nNEW SETTING=%s' "$composed")"
cli show
check "show" "$status $(grep '^Stored value:' <<<"$out")" "0 Stored value:    $composed"

cli set --ports 6001,abc,6004
check "a bad port: the window's message, exit 2" "$status $err" "2 Port values must be a number."
check "and nothing written" "$(stored)" "REG_SZ $composed"

cli restore "$logpath"
check "restore of the first write deletes the value" "$status $(stored)" "0 "

reg add "$rpcproxy" /v ValidPorts /t REG_SZ /d 'x:100-5000' /f >/dev/null
reg add 'HKLM\System\CurrentControlSet\Services\MSExchangeSA\Parameters' /v 'Rpc/HTTP NSPI Port' /t REG_DWORD /d 7004 /f >/dev/null
cli check
check "check: the endpoint mapper admitted" "$status $(grep -c 'among them 593' <<<"$out")" "1 1"
check "check: the DSProxy port from its setting" "$(grep -c 'they listen on 6001, 6002 and 7004' <<<"$out")" 1

# Rules beside the value, seeded with Wine's reg.exe: the kinds check --json
# finds, in order, and its exit code (a warning alone leaves it 0). The newest
# log recorded the deletion above, so the value seeded since is drift; without
# an internal domain the FQDN entries end in a bare dot.
kinds() { grep -o '"kind": "[a-z-]*"' <<<"$out" | cut -d'"' -f4 | tr '\n' ' '; }
reg delete 'HKLM\System\CurrentControlSet\Services\MSExchangeSA\Parameters' /v 'Rpc/HTTP NSPI Port' /f >/dev/null
reg add 'HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters' /v Domain /t REG_SZ /d '' /f >/dev/null
cli compose
composed=$out
reg add "$rpcproxy" /v ValidPorts /t REG_SZ /d "$composed" /f >/dev/null
reg add "$rpcproxy" /v AllowAnonymous /t REG_DWORD /d 1 /f >/dev/null
cli check --json
check "check: no domain, AllowAnonymous and drift are warnings" "$status $(kinds)" \
      "0 no-domain anonymous-access drift "
reg add 'HKLM\SYSTEM\CurrentControlSet\Services\NTDS\Parameters' /v 'NSPI interface protocol sequences' \
    /t REG_MULTI_SZ /d 'ncacn_ip_tcp:1234' /f >/dev/null
reg add 'HKLM\SOFTWARE\Microsoft\Rpc\Internet' /v Ports /t REG_MULTI_SZ /d '4000 - 4010' /f >/dev/null
cli check --json
check "check: NSPI without ncacn_http:6004, Rpc\\Internet\\Ports with spaces" "$status $(kinds)" \
      "1 no-domain anonymous-access nspi-over-http rpc-internet-ports drift "

cli set --host '' --domain ''
check "set of an empty name: refused, exit 2" "$status $err" \
      '2 Host names must not be empty: the value would hold the entry ":6001-6002", which the RPC proxy cannot read. Nothing was written.'
check "and nothing written" "$(stored)" "REG_SZ $composed"

# Writes at once: each log's PREVIOUS SETTING is the NEW SETTING of exactly one
# other log or the first value, so the logs chain from it to what is stored.
reg add "$rpcproxy" /v ValidPorts /t REG_SZ /d 'start:1-2' /f >/dev/null
rm -f "$PW_WINEPREFIX"/drive_c/RPC_*.LOG
for i in 1 2 3 4 5 6; do "$wine_run" "$exe" set --external "host$i.example" >/dev/null 2>&1 & done
wait
chain=$(for f in "$PW_WINEPREFIX"/drive_c/RPC_*.LOG; do
  sed -n '7s/^PREVIOUS SETTING=//p;9s/^NEW SETTING=//p' "$f" | tr -d '\r' | paste -sd'|'
done)
value=start:1-2 steps=0
while [ "$steps" -lt 7 ] && [ "$(awk -F'|' -v v="$value" '$1 == v' <<<"$chain" | wc -l)" = 1 ]; do
  value=$(awk -F'|' -v v="$value" '$1 == v { print $2 }' <<<"$chain") steps=$((steps + 1))
done
check "six writes at once: their logs chain to the stored value" "$steps $(stored)" "6 REG_SZ $value"

# export - and import -: the .reg file through standard output and input in
# binary mode, byte for byte what export writes to a file (UTF-16 holds LF bytes).
cli export 'C:\file.reg'
"$wine_run" "$exe" export - >"$PW_WINEPREFIX/stdout.reg" 2>/dev/null
check "export -: the file's bytes on standard output" \
      "$status $(cmp -s "$PW_WINEPREFIX/drive_c/file.reg" "$PW_WINEPREFIX/stdout.reg"; echo $?)" "0 0"
reg delete "$rpcproxy" /v ValidPorts /f >/dev/null
out=$("$wine_run" "$exe" import - <"$PW_WINEPREFIX/stdout.reg" 2>&1 | tr -d '\r')
check "import -: read back from standard input" "$out | $(stored)" \
      "Imported 1 change from standard input. | REG_SZ $value"

[ "$failures" -eq 0 ]
