#!/usr/bin/env bash
# How closely a slave shoots with its master: two `orvex-cli run` processes on one computer, each on its
# own virtual body, the slave started with --slave, the master with a start time a few seconds ahead. Both
# take SHOTS shots one second apart; the shooting times in their pictures' EXIF data are paired shot by
# shot, and the slave's offset from the master is printed for each, then the median and the worst (absolute)
# in milliseconds. The target is within 5 ms.
#   bench/slave_timing.sh [--shots N] [--load N]
# --load N keeps N busy loops running meanwhile, to see the two on a loaded machine.
# The programs of an existing build/ are used as they are; only when one is missing is it built. Each run
# ends by itself a little after its last shot is due, so that a slave that missed its master's start
# cannot keep the bench waiting.
set -euo pipefail
cd "$(dirname "$0")/.."
shots=20
load=0
source bench/timing_common.sh

if [ ! -x build/orvex-cli ] || [ ! -x build/bench/orvex_shot_lateness ]; then
  cmake --preset default -DORVEX_BUILD_BENCH=ON >/dev/null
  cmake --build --preset default --target orvex-cli orvex_shot_lateness >/dev/null
fi

# A group of this bench alone: no other Orvex on the computer starts with it.
export ORVEX_SYNC_GROUP="bench-$$"
for side in master slave; do
  mkdir -p "$work/$side"
  printf 'DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n' >"$work/$side/night.txt"
  for _ in $(seq "$shots"); do printf '10\t8\t1\t250\t100\t(L)\t\n' >>"$work/$side/night.txt"; done
done

start_load

start=$(date -d "@$(($(date +%s) + 3))" +%H:%M:%S)
# The start a few seconds ahead, the shots, and as long again as the start for the last pictures.
until="$((shots + 10))s"
build/orvex-cli run --camera=bulb --until="$until" --start="$start" "$work/master/night.txt" >/dev/null &
master=$!
build/orvex-cli run --camera=bulb --until="$until" --slave "$work/slave/night.txt" >/dev/null &
slave=$!
pids+=("$master" "$slave")
ended=0
wait "$master" || ended=$?
wait "$slave" || ended=$?
[ "$ended" -eq 0 ] || echo "a run did not complete (exit $ended): its missing shots are not paired" >&2

# Each picture's shooting time in milliseconds of the day, in the order they were taken.
taken() { build/bench/orvex_shot_lateness 00:00:00 0 "$work/$1/1 - Canon EOS 600D"/*.JPG | awk '/^shot/ { print $3 }'; }
echo "$shots shots 1 s apart from $start, $load busy loops; slave minus master:"
offsets=$(paste <(taken master) <(taken slave) | awk '{ print $2 - $1 }')
awk '{ printf "shot %d\t%d ms\n", NR, $1 }' <<<"$offsets"
awk '{ print $1 < 0 ? -$1 : $1 }' <<<"$offsets" | sort -g |
  awk '{ v[NR] = $1 } END { printf "median\t%d ms\nworst\t%d ms\n", v[int((NR + 1) / 2)], v[NR] }'
