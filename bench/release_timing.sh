#!/usr/bin/env bash
# How punctually three programs release a body on a one-second schedule: the gphoto2 command-line
# program's interval mode (-I 1), orvex-cli run, and the desktop program, one after the other on the same
# emulated EOS body of the tests, through the real libgphoto2. The body logs the moment each release
# reaches it; each release is compared with the one-second grid that fits its run best (the median of its
# offsets), and the median and worst deviations are printed in milliseconds.
#   bench/release_timing.sh [--shots N]
set -euo pipefail
cd "$(dirname "$0")/.."
shots=15
source bench/timing_common.sh
command -v gphoto2 >/dev/null || { echo "gphoto2 is missing: run scripts/install-deps.sh" >&2; exit 1; }

cmake --preset default -DORVEX_BUILD_BENCH=ON >/dev/null
cmake --build --preset default --target orvex orvex-cli orvex_emulated_eos orvex_emulated_usb >/dev/null

export CAMLIBS="$PWD/build/tests/gphoto2/camlibs" IOLIBS="$PWD/build/tests/gphoto2/iolibs"
export ORVEX_EMULATED_BODIES=3272 QT_QPA_PLATFORM=offscreen

script="$work/releases.txt"
printf 'DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n' >"$script"
for _ in $(seq "$shots"); do printf '10\t5.6\t1\t125\t400\tR\t\n' >>"$script"; done

# A fresh home and body log for each program: the library keeps the capture target under $HOME.
fresh() {
  export HOME="$work/$1" ORVEX_EMULATED_LOG="$work/$1/body.log"
  mkdir -p "$HOME"
}
# A release: gphoto2's trigger, or Orvex's full press of the remote release.
released='$2 == "trigger" || ($3 == "eosremoterelease" && $4 == "Press")'
releases() { awk "$released" "$ORVEX_EMULATED_LOG" 2>/dev/null | wc -l; }

# The middle value of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

report() {
  local offsets mid
  offsets=$(awk "$released"' { printf "%.0f\n", $1 - (n++) * 1e9 }' "$ORVEX_EMULATED_LOG")
  mid=$(median <<<"$offsets")
  awk -v mid="$mid" '{ d = $1 - mid; print (d < 0 ? -d : d) / 1e6 }' <<<"$offsets" | sort -g |
    awk -v name="$1" '{ v[NR] = $1 } END {
      printf "%-14s %2d releases  median %.3f ms  worst %.3f ms\n", name, NR, v[int((NR + 1) / 2)], v[NR] }'
}

fresh gphoto2
(cd "$HOME" && gphoto2 --quiet --capture-image -I 1 -F "$shots" >/dev/null)
report "gphoto2 -I 1"

fresh orvex-cli
build/orvex-cli run "$script" >/dev/null
report "orvex-cli run"

fresh orvex
start=$(date -d "@$(($(date +%s) + 3))" +%H:%M:%S)
build/orvex -connect= -load="\"$script\"" -start="\"$start\"" 2>/dev/null &
pids+=($!)
for _ in $(seq $((shots * 10 + 100))); do
  [ "$(releases)" -ge "$shots" ] && break
  sleep 0.1
done
report "orvex"
