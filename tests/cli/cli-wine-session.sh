# Sourced by the Wine scripts of portwright-cli.exe: the program (EXE, the
# script's first argument), scripts/wine-run, one throwaway prefix for all the
# runs, check(), and Wine's own reg.exe of the program's bitness.
#   . cli-wine-session.sh NAME EXE
# Provides: exe, here, wine_run, check, use_reg_of_bitness (call it once the
# first run has made the prefix), reg ARGS...
exe=$(readlink -f "$2")
here=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
wine_run=$here/../../scripts/wine-run

# shellcheck source=../support/wine-prefix.sh
. "$here/../support/wine-prefix.sh" "$1"
# shellcheck source=../support/check.sh
. "$here/../support/check.sh"

# Wine's 32-bit reg.exe sees the registry view a 32-bit program sees.
use_reg_of_bitness() {
  reg_exe=$PW_WINEPREFIX/drive_c/windows/system32/reg.exe
  if [ "$(od -An -t x2 -j $(( $(od -An -t u4 -j 60 -N 4 "$exe") + 4 )) -N 2 "$exe" | tr -d ' ')" = 014c ] &&
     [ -f "$PW_WINEPREFIX/drive_c/windows/syswow64/reg.exe" ]; then
    reg_exe=$PW_WINEPREFIX/drive_c/windows/syswow64/reg.exe
  fi
}
reg() { "$wine_run" "$reg_exe" "$@" 2>/dev/null | tr -d '\r'; }
