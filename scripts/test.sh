#!/usr/bin/env bash
# Installs what Orvex needs, builds it, and runs every test: once in a normal build and once under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
for preset in default asan; do
  echo "== build and test: $preset"
  scripts/build.sh "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done
