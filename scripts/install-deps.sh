#!/usr/bin/env bash
# Installs every Debian package Orvex needs to build, run and test. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format dpkg-dev
  clang libclang-rt-14-dev
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n
  libturbojpeg0-dev libexiv2-dev libgphoto2-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev gphoto2
  fonts-dejavu-core
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
