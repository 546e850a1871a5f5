#!/usr/bin/env bash
# portwright-cli.exe's .reg files against Wine's own reg.exe, both ways: what
# export writes, reg import reads, and what reg export writes, import reads,
# each checked by reg query against the values before; Registry.pol out and
# back in; then --computer.
#   regfile-peer-under-wine.sh PORTWRIGHT_CLI_EXE
set -uo pipefail
# shellcheck source=cli-wine-session.sh
. "$(dirname "$(readlink -f "$0")")/cli-wine-session.sh" regfile "$1"
cli() {
  out=$("$wine_run" "$exe" "$@" 2>&1 | tr -d '\r')
  status=${PIPESTATUS[0]}
  if [ "$status" -eq 77 ]; then echo "$out"; exit 77; fi
}

cli --version
use_reg_of_bitness

key='HKLM\SOFTWARE\PortwrightPeer'
seed() {
  reg add "$key" /ve /t REG_SZ /d 'default "text" \ here' /f
  reg add "$key" /v 'quote"and\back' /t REG_SZ /d 'C:\path\"x"\' /f
  reg add "$key" /v 'café' /t REG_SZ /d 'résumé €' /f
  reg add "$key" /v expand /t REG_EXPAND_SZ /d '%SystemRoot%\x' /f
  reg add "$key" /v multi /t REG_MULTI_SZ /d 'one\0two é\0three' /f
  reg add "$key" /v number /t REG_DWORD /d 4294967295 /f
  reg add "$key" /v blob /t REG_BINARY /d 00ff10203040506070809000a0b0c0d0e0f0aabbccddeeff00112233445566778899aabbccddeeff00112233 /f
  reg add "$key\Sub key" /v empty /t REG_SZ /d '' /f
} >/dev/null
seed
before=$(reg query "$key" /s)
check "the seeded values are there" "$(grep -c REG_ <<<"$before")" 8

# Ours out, Wine's in.
cli export 'C:\ours.reg' --key 'HKEY_LOCAL_MACHINE\SOFTWARE\PortwrightPeer'
check "export" "$status" 0
reg delete "$key" /f >/dev/null
check "the key is gone" "$(reg query "$key" >/dev/null; echo $?)" 1
check "reg import reads what export wrote" "$(reg import 'C:\ours.reg' >/dev/null; echo $?)" 0
check "with the same values and types" "$(reg query "$key" /s)" "$before"

# Wine's out, ours in.
check "reg export" "$(reg export "$key" 'C:\wines.reg' /y >/dev/null; echo $?)" 0
reg delete "$key" /f >/dev/null
cli import 'C:\wines.reg'
check "import reads what reg export wrote" "$status" 0
check "with the same values and types" "$(reg query "$key" /s)" "$before"

# A Registry.pol out and back in, read back by reg query; a broken one writes nothing.
cli export 'C:\ours.pol' --format pol --key 'HKLM\SOFTWARE\PortwrightPeer'
check "export --format pol" "$status $(head -c 8 "$PW_WINEPREFIX/drive_c/ours.pol" | od -An -c | tr -d ' ')" \
      "0 PReg001\0\0\0"
reg delete "$key" /f >/dev/null
cli import --dry-run 'C:\ours.pol'
check "import --dry-run of it lists the changes by byte offset, writes nothing" \
      "$status $(grep -c '^byte offset [0-9]*: add value' <<<"$out") $(reg query "$key" >/dev/null; echo $?)" "0 8 1"
cli import 'C:\ours.pol'
check "import reads what export --format pol wrote" "$status $(reg query "$key" /s)" "0 $before"
head -c 9 "$PW_WINEPREFIX/drive_c/ours.pol" >"$PW_WINEPREFIX/drive_c/cut.pol"
cli import 'C:\cut.pol'
check "a cut Registry.pol: byte offset and reason, exit 2" "$status $out" \
      "2 C:\\cut.pol, byte offset 8: the file ends where '[' belongs. Nothing was written."

# Deletions from a file, and a broken file that writes nothing.
printf 'REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightPeer\\Sub key]\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightPeer]\r\n"number"=-\r\n' \
  >"$PW_WINEPREFIX/drive_c/del.reg"
cli import 'C:\del.reg'
check "[-key] and \"name\"=- delete" "$status $(reg query "$key" /s | grep -c 'number\|Sub key')" "0 0"
printf 'REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightPeer]\r\n"new"="x"\r\n"bad"=dword:xyz\r\n' \
  >"$PW_WINEPREFIX/drive_c/bad.reg"
cli import 'C:\bad.reg'
check "a broken file: line and reason, exit 2" "$status $out" \
      "2 C:\\bad.reg, line 4: dword: needs one to eight hex digits, not \"xyz\". Nothing was written."
check "and nothing written" "$(reg query "$key" /v new >/dev/null; echo $?)" 1

# A write the registry refuses part-way (a value name longer than 16,383
# characters): what the file wrote before it is put back, and the message says so.
before=$(reg query "$key" /s)
printf -v long '%*s' 17000 ''
printf 'REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightPeer]\r\n"expand"=dword:7\r\n"added"="x"\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\PortwrightPeer\\New]\r\n"%s"="x"\r\n' \
  "${long// /x}" >"$PW_WINEPREFIX/drive_c/refused.reg"
cli import 'C:\refused.reg'
check "a write refused part-way: exit 1, the line, and the changes before it undone" \
      "$status $(grep -c '^C:.refused.reg, line 6: the value "x.*could not be written: .* The 3 changes before it were undone; the registry is as it was\.$' <<<"$out")" "1 1"
check "and the registry as it was" "$(reg query "$key" /s)" "$before"

# --computer: Wine's remote registry answers for this machine's own name only.
name=$(reg query 'HKLM\System\CurrentControlSet\Control\ComputerName\ComputerName' /v ComputerName |
       awk '$1 == "ComputerName" { print $3 }')
cli default --computer "$name"
check "--computer with this machine's name writes, the log named after it" \
      "$status $(grep -c "^1/1 $name: written, log C:.RPC_${name}_.*LOG$" <<<"$out")" "0 1"
check "and reg query reads it" \
      "$(reg query 'HKLM\SOFTWARE\Microsoft\Rpc\RpcProxy' /v ValidPorts | grep -ci "ValidPorts.*REG_SZ.*$name:100-5000")" 1
cli check --computer no-such-server-9 --computer "$name" --computer 192.0.2.1
check "unreachable servers: the probe's reasons, the others still run, exit 1" \
      "$status $(grep -c '^[123]/3 no-such-server-9: not reachable: its name was not found (.*(error 11001))$' <<<"$out") $(grep -c "^[123]/3 $name: " <<<"$out") $(grep -c '^  192.0.2.1: not reachable: TCP port 445' <<<"$out")" \
      "1 1 1 1"
printf '%s\r\n' '; servers' "$name" "\\\\$name" no-such-server-9 >"$PW_WINEPREFIX/drive_c/servers.txt"
cli show --computers 'C:\servers.txt' --json --parallel 2
check "--computers: a name given twice runs once; JSON Lines, the summary last in the list's order" \
      "$status $(grep -c '^{"version":"[^"]*","type":"server",' <<<"$out") $(grep '^{' <<<"$out" | tail -n 1 | grep -c "^{\"version\":\"[^\"]*\",\"type\":\"summary\".*\"results\":\[{\"server\":\"$name\",\"status\":\"done\"},{\"server\":\"no-such-server-9\",\"status\":\"not reachable\"}\]}$")" \
      "1 2 1"
cli set --computer "$name" --computer 'exch 1'
check "a name that names no server: refused before anything runs, exit 2" \
      "$status $(grep -c "^--computer: \"exch 1\" is not a server name: it holds ' '" <<<"$out") $(grep -c "^1/" <<<"$out")" "2 1 0"

[ "$failures" -eq 0 ]
