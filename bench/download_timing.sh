#!/usr/bin/env bash
# How late each release comes while earlier pictures cross the USB link: the emulated EOS body of the tests,
# through the real libgphoto2, writes RAW files of 24 MB over a link of 30 MB/s, and answers busy to every
# piece asked while it exposes or writes to its card, as real bodies do. The schedules:
#   - one release a second: the gphoto2 command-line program's interval mode (-I 1, each picture brought
#     over to the computer) and orvex-cli run, saving to the computer;
#   - pairs of releases half a second apart, the pairs three seconds apart: orvex-cli run only (gphoto2's
#     interval is whole seconds), with lines that set the aperture, speed, ISO and quality, and with lines
#     that leave them to the camera (fewer calls before each release);
#   - the same pairs with the body set to RAW + Large Fine JPEG, two files an exposure.
# The body logs the moment each release reaches it; each release's lateness is its moment less its due
# moment on the schedule, counted from the first release. Each orvex-cli schedule runs --runs times (4 by
# default): every release's lateness is printed in milliseconds, then the median and the worst over all runs,
# and the pictures that reached the computer in the last run.
#   bench/download_timing.sh [--shots N] [--mb N] [--link N] [--runs N]
set -euo pipefail
cd "$(dirname "$0")/.."
shots=8
mb=24
link=30
runs=4
while [ $# -gt 0 ]; do
  case "$1" in
    --shots) shots="$2"; shift 2 ;;
    --mb) mb="$2"; shift 2 ;;
    --link) link="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    *) echo "usage: $0 [--shots N] [--mb N] [--link N] [--runs N]" >&2; exit 2 ;;
  esac
done
command -v gphoto2 >/dev/null || { echo "gphoto2 is missing: run scripts/install-deps.sh" >&2; exit 1; }

cmake --preset default -DORVEX_BUILD_BENCH=ON >/dev/null
cmake --build --preset default --target orvex-cli orvex_emulated_eos orvex_emulated_usb >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export CAMLIBS="$PWD/build/tests/gphoto2/camlibs" IOLIBS="$PWD/build/tests/gphoto2/iolibs"
export ORVEX_EMULATED_BODIES=3272 ORVEX_EMULATED_FAULTS="raw-mb=$mb,link-mbps=$link,busy-while-writing"

# A fresh home and body log for each run: the library keeps the capture target under $HOME.
fresh() {
  export HOME="$work/$1" ORVEX_EMULATED_LOG="$work/$1/body.log"
  rm -rf "$HOME"
  mkdir -p "$HOME"
}
# A release: gphoto2's trigger, or Orvex's full press of the remote release.
released='$2 == "trigger" || ($3 == "eosremoterelease" && $4 == "Press")'

# Appends the lateness of each release of the last run, against the due moments (in seconds after the
# first) on stdin, to the file $1, one run a line.
measure() {
  awk "$released"' { print $1 }' "$ORVEX_EMULATED_LOG" >"$work/moments"
  paste -d' ' "$work/moments" - | awk '
    NR == 1 { t0 = $1 }
    NF == 2 { line = line sprintf(" %.0f", ($1 - t0) / 1e6 - $2 * 1000) }
    END { print line }' >>"$1"
}
# Prints the runs of file $1 under the name $2, then the median and worst over all, and the pictures $3.
report() {
  awk -v name="$2" -v files="$3" '
    { for (i = 1; i <= NF; i++) v[++n] = $i; printf "%-30s lateness (ms):%s\n", (NR == 1 ? name : ""), " " $0 }
    END {
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
      printf "%-30s %3d releases in %d runs  median %6.1f ms  worst %6.1f ms  pictures %d\n", "", n, NR, v[int((n + 1) / 2)], v[n], files
    }' "$1"
}
# Due moments: one a second, or pairs half a second apart three seconds apart.
every_second() { seq 0 $((shots - 1)); }
pairs() { for i in $(seq 0 $((shots - 1))); do awk -v i="$i" 'BEGIN { print int(i / 2) * 3 + (i % 2) * 0.5 }'; done; }
# Pictures on the computer, whole.
whole() { find "$1" -name '*.[Cc][Rr]2' -size "+$((mb * 1000000 - 1))c" | wc -l; }

# A script of exposures; the delay before each line, in tenths of a second, from stdin; each line's values
# after it: $1, tab-separated (empty: the camera's own).
script() {
  printf 'DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n'
  while read -r delay; do printf '%s\t%s\t\n' "$delay" "$1"; done
}
# Runs orvex-cli --runs times on a schedule: $1 its name, $2 the due moments' function, $3 the tenths of a
# second before each line, $4 the values of each line.
orvex() {
  : >"$work/runs"
  for run in $(seq "$runs"); do
    fresh "orvex-$run"
    seq "$shots" | awk -v d="$3" '{ split(d, t, ","); print t[(NR - 1) % 2 + 1] }' | script "$4" >"$HOME/releases.txt"
    build/orvex-cli run "$HOME/releases.txt" >/dev/null
    "$2" | measure "$work/runs"
  done
  report "$work/runs" "$1" "$(whole "$HOME")"
}

fresh gphoto2
: >"$work/runs"
(cd "$HOME" && gphoto2 --quiet --capture-image-and-download -I 1 -F "$shots" >/dev/null)
every_second | measure "$work/runs"
report "$work/runs" "gphoto2 -I 1" "$(whole "$HOME")"

orvex "orvex-cli, 1 s, values set" every_second 10,10 $'5.6\t1\t4000\t400\tR'
orvex "orvex-cli, pairs, values set" pairs 25,5 $'5.6\t1\t4000\t400\tR'
orvex "orvex-cli, pairs, values empty" pairs 25,5 $'\t\t\t\t'
orvex "orvex-cli, pairs, RAW+JPEG" pairs 25,5 $'5.6\t1\t4000\t400\tR+(L)'
