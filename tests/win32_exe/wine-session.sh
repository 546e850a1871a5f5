# Sourced by the Wine scripts here: a throwaway Wine prefix under Xvfb with
# openbox (X key events reach a Wine window only while a window manager runs).
# Provides: pick_wine_loader EXE SCRIPT ARGS..., start_session, run_wine ARGS...,
# end_session. A 32-bit program gets a 32-bit (win32) prefix; the script runs
# again (SCRIPT ARGS...) through scripts/wine32-route, natively or through
# qemu-i386, and fails with the reason when neither can work.

pe_machine() {  # prints i386, amd64 or unknown
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read(4096)
offset = struct.unpack_from('<I', data, 0x3c)[0]
machine = struct.unpack_from('<H', data, offset + 4)[0]
print({0x14c: 'i386', 0x8664: 'amd64'}.get(machine, 'unknown'))
PY
}

pick_wine_loader() {  # pick_wine_loader EXE SCRIPT ARGS...
  local machine
  machine=$(pe_machine "$1")
  shift
  case "$machine" in
    amd64) WINE_LOADER=/usr/lib/wine/wine64; unset WINEARCH ;;
    i386)
      WINE_LOADER=/usr/lib/wine/wine
      export WINEARCH=win32
      if [ -z "${PW_WINE32_ROUTE:-}" ]; then
        exec "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine32-route" exec "$@"
      fi ;;
    *) echo "$1 is not a Windows program for x86 (machine $machine)" >&2; exit 1 ;;
  esac
  # The server the loader starts itself: the 64-bit one serves a win32 prefix
  # too, and it runs natively even where the 32-bit loader goes through qemu.
  WINESERVER=/usr/lib/wine/wineserver
  local why
  if ! why=$("$WINE_LOADER" --version 2>&1); then
    echo "Wine cannot run the $machine build here: $WINE_LOADER --version says: $why" >&2
    exit 1
  fi
  export WINELOADER=$WINE_LOADER
}

start_session() {
  SESSION_DIR=$(mktemp -d /tmp/portwright-wine.XXXXXX)
  export WINEPREFIX=$SESSION_DIR/prefix
  export WINEDEBUG=-all
  # No Mono or Gecko installer dialogs in a fresh prefix.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Xvfb picks a free display itself and names it on the file descriptor.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$SESSION_DIR/display" >"$SESSION_DIR/xvfb.log" 2>&1 &
  XVFB_PID=$!
  trap end_session EXIT
  local tries=0
  until [ -s "$SESSION_DIR/display" ]; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || { echo "Xvfb did not start; see $SESSION_DIR/xvfb.log" >&2; exit 1; }
    sleep 0.1
  done
  export DISPLAY=:$(head -n1 "$SESSION_DIR/display")
  tries=0
  until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || { echo "Xvfb did not start on $DISPLAY; see $SESSION_DIR/xvfb.log" >&2; exit 1; }
    sleep 0.1
  done
  openbox >"$SESSION_DIR/openbox.log" 2>&1 &
  OPENBOX_PID=$!
  "$WINE_LOADER" wineboot -i >"$SESSION_DIR/wineboot.log" 2>&1 || true
  "$WINESERVER" -w
  # Wine writes the Linux host name and domain into the TCP/IP parameters when
  # its server starts: keep one server for seeding and the run.
  "$WINESERVER" -p
  run_wine reg query 'HKLM\SOFTWARE' >/dev/null
}

run_wine() {
  "$WINE_LOADER" "$@"
}

end_session() {
  set +e
  [ -n "${WINESERVER:-}" ] && [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1
  [ -n "${OPENBOX_PID:-}" ] && kill "$OPENBOX_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  [ -n "${SESSION_DIR:-}" ] && rm -rf "$SESSION_DIR"
}
