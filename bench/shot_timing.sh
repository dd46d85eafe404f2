#!/usr/bin/env bash
# How punctually the desktop program takes its shots. It runs off screen on the virtual body, waits for a
# start time a few seconds ahead, then takes SHOTS shots one second apart; the shooting times in the
# pictures' EXIF data are compared with that schedule: each shot's lateness, then the median, the 99th
# percentile and the worst, in milliseconds.
#   bench/shot_timing.sh [--shots N] [--load N]
# --load N keeps N busy loops running meanwhile, to see the program on a loaded machine.
set -euo pipefail
cd "$(dirname "$0")/.."
shots=30
load=0
source bench/timing_common.sh

cmake --preset default -DORVEX_BUILD_BENCH=ON >/dev/null
cmake --build --preset default --target orvex orvex_shot_lateness >/dev/null

script="$work/timing.txt"
printf 'DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n' >"$script"
for _ in $(seq "$shots"); do printf '10\t8\t1\t250\t100\t(L)\t\n' >>"$script"; done

start_load

# A whole second far enough ahead for the program to be up and connected.
start=$(date -d "@$(($(date +%s) + 4))" +%H:%M:%S)
QT_QPA_PLATFORM=offscreen build/orvex -virtualcam=bulb -connect='""' -load="\"$script\"" -start="\"$start\"" \
  2>/dev/null &
pids+=($!)

pictures="$work/1 - Canon EOS 600D"
for _ in $(seq $((shots * 10 + 100))); do
  [ "$(find "$pictures" -name '*.JPG' 2>/dev/null | wc -l)" -ge "$shots" ] && break
  sleep 0.1
done
# The last picture may still be on its way to its name.
sleep 1

echo "$shots shots 1 s apart from $start, $load busy loops"
build/bench/orvex_shot_lateness "$start" 1000 "$pictures"/*.JPG
