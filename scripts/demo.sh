#!/usr/bin/env bash
# Installs what Orvex needs, builds it, rehearses the example scripts, runs one of them in real time on
# the built-in virtual camera, and opens the main window. Without a display the window is drawn off
# screen and saved as a picture.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default

for script in examples/*.txt; do
  echo "== orvex-cli check $script"
  build/orvex-cli check "$script"
done

# The virtual camera takes real pictures into the script's folder: work on copies.
work=build/demo/night
rehearsal=build/demo/rehearsal
rm -rf build/demo
mkdir -p "$work" "$rehearsal"
cp examples/timelapse.txt "$work/"
cp examples/timelapse.txt "$rehearsal/"

echo "== orvex-cli simulate --camera=bulb $rehearsal/timelapse.txt (the whole run on a virtual clock)"
build/orvex-cli simulate --camera=bulb "$rehearsal/timelapse.txt"

echo "== orvex-cli run --camera=bulb $work/timelapse.txt (in real time, about 15 seconds)"
build/orvex-cli run --camera=bulb "$work/timelapse.txt"
echo "== the pictures are in $PWD/$work/1 - Canon EOS 600D:"
ls -1 "$work/1 - Canon EOS 600D"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  mkdir -p build/screenshots
  shot="$PWD/build/screenshots/orvex-demo.png"
  QT_QPA_PLATFORM=offscreen build/orvex -virtualcam=bulb -connect= -load="$work/timelapse.txt" --screenshot="$shot"
  echo "== no display: the main window, connected to the virtual camera with the script loaded, is in $shot"
else
  echo "== opening the main window on the virtual camera with $work/timelapse.txt loaded; close it to finish"
  build/orvex -virtualcam=bulb -connect= -load="$work/timelapse.txt"
fi
