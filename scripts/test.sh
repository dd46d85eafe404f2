#!/usr/bin/env bash
# Installs what Orvex needs, builds it, and runs every test: once in a normal build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the tests that run threads under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

for preset in default asan; do
  echo "== build and test: $preset"
  scripts/build.sh "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done

# The transfer worker, the camera layer's lock and the real-time scheduler share data across threads.
threaded='^(CameraRun|Errors/CameraRunError|CameraSdk|Files/CameraSdkDownload|CameraEventPump|VirtualCamera|ThreadSchedulerTest|CliRun|CliSimulate)\.'
echo "== build and test: tsan (threaded tests)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$(nproc)" --target orvex_tests orvex-cli
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --preset tsan -j "$(nproc)" -R "$threaded"
