#!/usr/bin/env bash
# Start-up time of the Linux window against a bare Qt window: under Xvfb when
# it is installed and no display is set, else on the display that is set, else
# on Qt's offscreen platform. Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
runs=${2:-15}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime

if [ -n "${QT_QPA_PLATFORM:-}" ] || [ -n "${DISPLAY:-}" ]; then
  exec python3 "$here/startup/measure.py" "$build" "$runs"
elif command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" python3 "$here/startup/measure.py" "$build" "$runs"
else
  QT_QPA_PLATFORM=offscreen exec python3 "$here/startup/measure.py" "$build" "$runs"
fi
