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

[ "$failures" -eq 0 ]
