#!/usr/bin/env bash
# Installs what Orvex needs, builds it, rehearses every example script to "Completed" on a virtual body
# that suits it, runs one of them in real time on the built-in virtual camera, and opens the main window.
# Without a display the window is drawn off screen and saved as a picture.
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

# The preset that suits each example: bursts need continuous drive and the cable, and times of day come
# round again the next day.
rehearsal_options() {
  case "$1" in
    times_of_day.txt) echo "--camera=burst --serialport=VirtualCable --loop=2 --until=25h" ;;
    bracketing.txt) echo "--camera=press-shutter" ;;
    *) echo "--camera=bulb" ;;
  esac
}
for script in examples/*.txt; do
  name=$(basename "$script")
  cp "$script" "$rehearsal/"
  options=$(rehearsal_options "$name")
  echo "== orvex-cli simulate $options $name (the whole run on a virtual clock, to \"Completed\")"
  # shellcheck disable=SC2086 # the options are words
  build/orvex-cli simulate --clock=2026-12-06T21:14:00 $options "$rehearsal/$name"
done

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
