#!/usr/bin/env bash
# Builds Orvex optimised, without its tests (build-package/), and makes its Debian package with CPack:
# build-package/orvex_<version>_<arch>.deb. Install it with  sudo apt-get install ./build-package/orvex_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/compiler-cache.sh
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
(cd build-package && cpack)
ls -1 build-package/orvex_*.deb
