#!/usr/bin/env bash
# Makes the console session in docs/command-line.md from a real run of
# portwright-cli over a throwaway prefix, or with --check, fails when the
# program's output no longer matches what the document shows.
#
#   docs/make-examples.sh [--check] path/to/portwright-cli
#
# The session runs under en_US.UTF-8 on a server named EXCH1 in corp.example.
# The prefix folder is shown as the default one; with --check, the date and
# time in the logs' names are left out of the comparison.
set -euo pipefail
check=0
if [ "${1:-}" = "--check" ]; then check=1; shift; fi
program=$(realpath "${1:?usage: $0 [--check] path/to/portwright-cli}")
doc="$(dirname "$0")/command-line.md"
begin='<!-- session: made by docs/make-examples.sh -->'
end='<!-- end of session -->'

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
export PORTWRIGHT_PREFIX=$prefix LC_ALL=en_US.UTF-8 TZ=UTC
# The server's names, as Windows would hold them.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"HostName"="EXCH1"\r\n"Domain"="corp.example"\r\n' \
  >"$prefix/names.reg"
"$program" import "$prefix/names.reg" >/dev/null

# One command as typed and what it printed, both streams in order; with
# exit=1, its exit code too, as `; echo "exit $?"` shows it.
run() {
  local show_exit=$1; shift
  local status=0 output
  output=$("$program" "$@" 2>&1) || status=$?
  local typed="portwright-cli"
  for arg in "$@"; do
    if [[ "$arg" =~ [^A-Za-z0-9_.,:=/-] ]]; then typed+=" '$arg'"; else typed+=" $arg"; fi
  done
  if [ "$show_exit" = 1 ]; then echo "\$ $typed; echo \"exit \$?\""; else echo "\$ $typed"; fi
  [ -z "$output" ] || printf '%s\n' "$output"
  if [ "$show_exit" = 1 ]; then echo "exit $status"; fi
  last_output=$output
}
log_of() { sed -n 's/^LOGPATH: //p' <<<"$1"; }

session() {
  echo '```console'
  run 0 default
  run 1 check
  run 0 set --external mail.example.com --dry-run
  run 1 set --ports 6001,6002,70000
  run 0 set --external mail.example.com
  local written; written=$(log_of "$last_output")
  run 1 check
  run 0 logs
  run 0 restore "$written"
  run 1 restore "$written"
  echo '```'
}
made=$(session | sed "s|$prefix|~/.local/share/portwright|g")

# Logs' names hold the time of the run: leave it out when comparing.
timeless() { sed -E 's/RPC_[0-9][^ ."]*\.[0-9]{2}\.[0-9]{2}(AM|PM)?(_[0-9]+)?\.LOG/RPC_<time>.LOG/g'; }
shown=$(awk -v b="$begin" -v e="$end" '$0 == e { on = 0 } on { print } $0 == b { on = 1 }' "$doc")
if [ $check = 1 ]; then
  if [ "$(timeless <<<"$made")" != "$(timeless <<<"$shown")" ]; then
    echo "docs/command-line.md: the session no longer matches the program's output; run docs/make-examples.sh $1" >&2
    diff <(timeless <<<"$shown") <(timeless <<<"$made") >&2 || true
    exit 1
  fi
  echo "docs/command-line.md: the session matches the program's output"
  exit 0
fi
grep -qxF "$begin" "$doc" || { echo "$doc has no line '$begin'" >&2; exit 1; }
MADE=$made awk -v b="$begin" -v e="$end" '
  $0 == b { print; print ENVIRON["MADE"]; skip = 1; next }
  $0 == e { skip = 0 }
  !skip { print }' "$doc" >"$doc.new"
mv "$doc.new" "$doc"
