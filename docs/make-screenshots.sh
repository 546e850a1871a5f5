#!/usr/bin/env bash
# Renders the README's pictures of the Linux window over a demonstration store.
#   docs/portwright-window.png   the client area, Qt's offscreen platform
#   docs/portwright-desktop.png  the window with its frame, under Xvfb and openbox
# Usage: docs/make-screenshots.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}
docs=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work

QT_QPA_PLATFORM=offscreen "$build/ui/qt/portwright-demo" screenshot "$docs/portwright-window.png"
echo "wrote $docs/portwright-window.png"

for tool in xvfb-run openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipping the framed picture"; exit 0; }
done
mkdir -p "$work/prefix"
"$build/ui/qt/portwright-demo" seed "$work/prefix"
cat > "$work/framed.sh" <<SCRIPT
set -euo pipefail
openbox & sleep 1
PORTWRIGHT_PREFIX="$work/prefix" "$build/ui/qt/portwright" & app=\$!
window=\$(xdotool search --sync --name "Portwright Single Server Registry Entries" | head -1)
sleep 1
xdotool windowactivate --sync "\$window" type --delay 20 "mail.example.com"
sleep 0.5
import -window "\$window" -frame "$docs/portwright-desktop.png"
kill \$app
SCRIPT
xvfb-run -a -s "-screen 0 1024x900x24" bash "$work/framed.sh"
echo "wrote $docs/portwright-desktop.png"
