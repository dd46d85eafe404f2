#!/usr/bin/env bash
# How late each release comes while earlier pictures cross the USB link: the emulated EOS body of the tests,
# through the real libgphoto2, writes RAW files of 24 MB over a link of 30 MB/s. Two schedules:
#   - one release a second: the gphoto2 command-line program's interval mode (-I 1, each picture brought
#     over to the computer) and orvex-cli run, saving to the computer;
#   - pairs of releases half a second apart, the pairs three seconds apart: orvex-cli run only (gphoto2's
#     interval is whole seconds).
# The body logs the moment each release reaches it; each release's lateness is its moment less its due
# moment on the schedule, counted from the first release. Every release's lateness is printed in
# milliseconds, then the median and the worst, and the pictures that reached the computer.
#   bench/download_timing.sh [--shots N] [--mb N] [--link N]
set -euo pipefail
cd "$(dirname "$0")/.."
shots=8
mb=24
link=30
while [ $# -gt 0 ]; do
  case "$1" in
    --shots) shots="$2"; shift 2 ;;
    --mb) mb="$2"; shift 2 ;;
    --link) link="$2"; shift 2 ;;
    *) echo "usage: $0 [--shots N] [--mb N] [--link N]" >&2; exit 2 ;;
  esac
done
command -v gphoto2 >/dev/null || { echo "gphoto2 is missing: run scripts/install-deps.sh" >&2; exit 1; }

cmake --preset default -DORVEX_BUILD_BENCH=ON >/dev/null
cmake --build --preset default --target orvex-cli orvex_emulated_eos orvex_emulated_usb >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export CAMLIBS="$PWD/build/tests/gphoto2/camlibs" IOLIBS="$PWD/build/tests/gphoto2/iolibs"
export ORVEX_EMULATED_BODIES=3272 ORVEX_EMULATED_FAULTS="raw-mb=$mb,link-mbps=$link${extra:+,$extra}"

# A fresh home and body log for each run: the library keeps the capture target under $HOME.
fresh() {
  export HOME="$work/$1" ORVEX_EMULATED_LOG="$work/$1/body.log"
  mkdir -p "$HOME"
}
# A release: gphoto2's trigger, or Orvex's full press of the remote release.
released='$2 == "trigger" || ($3 == "eosremoterelease" && $4 == "Press")'

# Prints the lateness of each release against the due moments (in seconds after the first) on stdin.
report() {
  awk "$released"' { print $1 }' "$ORVEX_EMULATED_LOG" >"$work/moments"
  paste -d' ' "$work/moments" - | awk -v name="$1" -v files="$2" '
    NR == 1 { t0 = $1 }
    NF == 2 { late = ($1 - t0) / 1e6 - $2 * 1000; v[++n] = late; line = line sprintf(" %.0f", late) }
    END {
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
      printf "%-26s %2d releases  median %6.1f ms  worst %6.1f ms  pictures %d\n", name, n, v[int((n + 1) / 2)], v[n], files
      printf "%-26s lateness (ms):%s\n", "", line
    }'
}
# Due moments: one a second, or pairs half a second apart three seconds apart.
every_second() { seq 0 $((shots - 1)); }
pairs() { for i in $(seq 0 $((shots - 1))); do awk -v i="$i" 'BEGIN { print int(i / 2) * 3 + (i % 2) * 0.5 }'; done; }
# Pictures on the computer, whole.
whole() { find "$1" -name '*.[Cc][Rr]2' -size "+$((mb * 1000000 - 1))c" | wc -l; }

# A script of SHOTS RAW exposures of 1/4000 s; the delay before each line, in tenths of a second, from stdin.
script() {
  printf 'DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n'
  while read -r delay; do printf '%s\t5.6\t1\t4000\t400\tR\t\n' "$delay"; done
}

fresh gphoto2
(cd "$HOME" && gphoto2 --quiet --capture-image-and-download -I 1 -F "$shots" >/dev/null)
every_second | report "gphoto2 -I 1" "$(whole "$HOME")"

fresh orvex-second
seq "$shots" | awk '{ print 10 }' | script >"$HOME/releases.txt"
build/orvex-cli run "$HOME/releases.txt" >/dev/null
every_second | report "orvex-cli, 1 s" "$(whole "$HOME")"

fresh orvex-pairs
seq "$shots" | awk '{ print NR % 2 ? 25 : 5 }' | script >"$HOME/releases.txt"
build/orvex-cli run "$HOME/releases.txt" >/dev/null
pairs | report "orvex-cli, pairs 0.5 s" "$(whole "$HOME")"
