#!/usr/bin/env bash
# Installs every Debian package Orvex needs to build, run and test. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ ccache pkg-config clang-format dpkg-dev
  clang libclang-rt-14-dev
  qt6-base-dev qt6-serialport-dev qt6-svg-dev qt6-translations-l10n
  libturbojpeg0-dev libexiv2-dev libgphoto2-dev portaudio19-dev libasound2-dev libjack-jackd2-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev gphoto2 libgphoto2-l10n locales
  fonts-dejavu-core pandoc weasyprint lintian man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The locales in which the tests run the program the way its users' desktops do: a French one, and a Turkish
# one, whose 'i' and 'I' are not each other's case.
wanted_locales=()
for l in fr_FR tr_TR; do
  locale -a 2>/dev/null | grep -qix "$l.utf8" || wanted_locales+=("$l")
done
if [ ${#wanted_locales[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  for l in "${wanted_locales[@]}"; do
    "${sudo_cmd[@]}" sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -qx "$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  done
  "${sudo_cmd[@]}" locale-gen
fi
