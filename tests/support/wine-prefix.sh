# Sourced by the scripts that run a Windows program through scripts/wine-run
# again and again: one throwaway Wine prefix for all of the runs
# (PW_WINEPREFIX), its wineserver stopped and the folder removed at exit.
#   . wine-prefix.sh NAME    (the folder is portwright-NAME-wine.XXXXXX)
PW_WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/portwright-$1-wine.XXXXXX") || exit 1
export PW_WINEPREFIX
cleanup() {
  WINEPREFIX=$PW_WINEPREFIX /usr/lib/wine/wineserver -k >/dev/null 2>&1
  WINEPREFIX=$PW_WINEPREFIX /usr/lib/wine/wineserver -w >/dev/null 2>&1
  rm -rf "$PW_WINEPREFIX"
}
trap cleanup EXIT
