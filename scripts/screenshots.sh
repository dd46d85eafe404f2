#!/usr/bin/env bash
# Regenerates the pictures of Orvex's windows that the manuals show (docs/images/NAME-en.png and
# NAME-fr.png), drawn off screen by the program itself with --screenshot, and the plans of the examples
# (docs/images/plan-NAME-en.svg and -fr.svg), drawn by orvex-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
# The pictures must show the program as it is now: bring the build up to date first.
cmake --preset default >/dev/null
cmake --build --preset default --target orvex orvex-cli orvex_emulated_eos orvex_emulated_usb

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/timelapse.txt "$work/night.txt"
# A script with a burst, which a body in single-shot drive refuses at Start: the error box's picture.
cp examples/times_of_day.txt "$work/burst.txt"

# The tests' emulated EOS body, seen on USB by the real libgphoto2, for the pictures of a real body.
usb="HOME=$work CAMLIBS=$PWD/build/tests/gphoto2/camlibs IOLIBS=$PWD/build/tests/gphoto2/iolibs"
two=$usb
usb+=" ORVEX_EMULATED_BODIES=3272"
# Two bodies, a 700D and a 5D Mark III: Connect lets the user choose.
two+=" ORVEX_EMULATED_BODIES=3272,323a"

# One entry per picture: its name, a bar, then the program's options that bring the window into view,
# after the NAME=VALUE settings of its environment if it has any.
# A dialog is opened before the picture is taken by adding --dialog=TEMPLATE_NAME to its options; a box that
# comes up in front of the window is taken instead of it.
windows=(
  "main|-virtualcam=bulb -connect= -load=$work/night.txt -start="
  "connect|$two -load=$work/night.txt --dialog=CONNECT_DIALOG"
  "error|-virtualcam=bulb -connect= -load=$work/burst.txt -start="
  "live-view|-virtualcam=bulb -connect= -load=$work/night.txt --dialog=SMALL_LIVE_VIEW_DIALOG"
  "usb-camera|$usb -connect= -start= -load=$work/night.txt"
  "parameters|-load=$work/night.txt --dialog=PARAMETER_DIALOG"
  "chain|-load=$work/night.txt --dialog=SCRIPT_CHAIN_DIALOG"
  "camera|-virtualcam=bulb -connect= --dialog=CAMERA_INFO_DIALOG"
  "plan-window|-load=$work/night.txt --dialog=PLAN"
)

# The plans of the examples, as Script › Plan… shows them and orvex-cli simulate --plan draws them: one
# entry per example, its name, a bar, then the rehearsal's options. Each is short enough to read on a page.
plans=(
  "timelapse|--camera=bulb --clock=2026-12-06T21:00:00"
  "bracketing|--camera=press-shutter --clock=2026-12-06T21:00:00"
  "times_of_day|--camera=burst --serialport=VirtualCable --clock=2026-12-06T21:14:00 --until=150s"
  "midnight|--camera=bulb --clock=2026-12-06T23:59:00"
)
mkdir "$work/examples"
cp examples/*.txt "$work/examples/"

for lang in en fr; do
  for entry in "${plans[@]}"; do
    name=${entry%%|*}
    read -r -a options <<<"${entry#*|}"
    # A rehearsal that --until cuts short ends with 1, its plan drawn all the same; 2 is a plan not written.
    status=0
    build/orvex-cli simulate --lang $lang "${options[@]}" --plan="docs/images/plan-$name-$lang.svg" \
      "$work/examples/$name.txt" >/dev/null || status=$?
    [ "$status" -le 1 ] || exit "$status"
    echo "docs/images/plan-$name-$lang.svg"
  done
done

for lang in en fr; do
  case $lang in
    en) locale=en_US.UTF-8 ;;
    fr) locale=fr_FR.UTF-8 ;;
  esac
  for entry in "${windows[@]}"; do
    name=${entry%%|*}
    read -r -a words <<<"${entry#*|}"
    environment=()
    options=()
    for word in "${words[@]}"; do
      if [[ $word =~ ^[A-Z_]+= ]]; then environment+=("$word"); else options+=("$word"); fi
    done
    picture="$PWD/docs/images/$name-$lang.png"
    # From the work folder, so that no Orvex.ini of the developer's changes the picture.
    (cd "$work" && env -u LC_ALL -u LC_MESSAGES LANG=$locale QT_QPA_PLATFORM=offscreen "${environment[@]}" \
      "$OLDPWD/build/orvex" "${options[@]}" --screenshot="$picture")
    echo "docs/images/$name-$lang.png"
  done
done
