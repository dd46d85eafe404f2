#!/usr/bin/env bash
# Regenerates the pictures of Orvex's windows that the manuals show (docs/images/NAME-en.png and
# NAME-fr.png), drawn off screen by the program itself with --screenshot.
set -euo pipefail
cd "$(dirname "$0")/.."
# The pictures must show the program as it is now: bring the build up to date first.
cmake --preset default >/dev/null
cmake --build --preset default --target orvex

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp examples/timelapse.txt "$work/night.txt"

# One entry per picture: its name, a bar, then the program's options that bring the window into view.
# A dialog is opened before the picture is taken by adding --dialog=TEMPLATE_NAME to its options.
windows=(
  "main|-virtualcam=bulb -connect= -load=$work/night.txt"
  "parameters|-load=$work/night.txt --dialog=PARAMETER_DIALOG"
  "chain|-load=$work/night.txt --dialog=SCRIPT_CHAIN_DIALOG"
)

for lang in en fr; do
  case $lang in
    en) locale=en_US.UTF-8 ;;
    fr) locale=fr_FR.UTF-8 ;;
  esac
  for entry in "${windows[@]}"; do
    name=${entry%%|*}
    read -r -a options <<<"${entry#*|}"
    picture="$PWD/docs/images/$name-$lang.png"
    # From the work folder, so that no Orvex.ini of the developer's changes the picture.
    (cd "$work" && env -u LC_ALL -u LC_MESSAGES LANG=$locale QT_QPA_PLATFORM=offscreen \
      "$OLDPWD/build/orvex" "${options[@]}" --screenshot="$picture")
    echo "docs/images/$name-$lang.png"
  done
done
