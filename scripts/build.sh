#!/usr/bin/env bash
# Configures and builds one preset (default, asan or tsan) into build[-preset]/.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/compiler-cache.sh
preset="${1:-default}"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
