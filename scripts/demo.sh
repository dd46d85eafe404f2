#!/usr/bin/env bash
# Installs what Orvex needs, builds it, rehearses the example scripts and opens the main window with one
# of them loaded. Without a display the window is drawn off screen and saved as a picture.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default

for script in examples/*.txt; do
  echo "== orvex-cli check $script"
  build/orvex-cli check "$script"
done

script=examples/timelapse.txt
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  mkdir -p build/screenshots
  shot="$PWD/build/screenshots/orvex-demo.png"
  QT_QPA_PLATFORM=offscreen build/orvex -load="$script" --screenshot="$shot"
  echo "== no display: the main window with $script loaded was saved to $shot"
else
  echo "== opening the main window with $script loaded; close it to finish"
  build/orvex -load="$script"
fi
