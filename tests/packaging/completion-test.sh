#!/usr/bin/env bash
# portwright-cli's bash completion, driven as bash drives it: the function that
# `complete -p portwright-cli` names, given COMP_WORDS and COMP_CWORD.
#   completion-test.sh COMPLETION_FILE
set -uo pipefail
# shellcheck disable=SC1090
source "$1"
function=$(complete -p portwright-cli 2>/dev/null | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
[ -n "$function" ] || { echo "FAIL $1 registers no completion function for portwright-cli"; exit 1; }
failures=0
words() { printf '%s\n' "$@" | LC_ALL=C sort | paste -sd' ' -; }
# The words typed (the last one being completed) | what completes them.
while IFS='|' read -r typed expected; do
  read -r -a COMP_WORDS <<<"$typed"
  [[ $typed == *' ' ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$typed COMP_POINT=${#typed}
  COMPREPLY=()
  "$function" portwright-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  got=$(words "${COMPREPLY[@]}")
  # shellcheck disable=SC2086
  expected=$(words $expected)
  if [ "$got" = "$expected" ]; then echo "ok   '$typed' -> $got"
  else echo "FAIL '$typed' -> '$got', not '$expected'"; failures=$((failures + 1)); fi
done <<'TABLE'
portwright-cli |show compose set default restore check logs export import --help --version
portwright-cli s|show set
portwright-cli --v|--version
portwright-cli set --d|--domain --dry-run
portwright-cli set --host srv --po|--ports
portwright-cli default --|--help --dry-run --json --backup --computer --computers --parallel --timeout
portwright-cli export --k|--key
portwright-cli check --computers|--computers
portwright-cli import old.reg --|--help --dry-run --json
portwright-cli restore --f|--force
portwright-cli set --backup |
portwright-cli restore |
portwright-cli shwo --|
TABLE
[ "$failures" -eq 0 ] || { echo "$failures case(s) failed"; exit 1; }
