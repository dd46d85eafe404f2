#!/usr/bin/env bash
# Installs what Orvex needs, builds it, and runs every test: once in a normal build, once under
# AddressSanitizer + UndefinedBehaviorSanitizer, and the tests that run threads under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. scripts/compiler-cache.sh
export QT_QPA_PLATFORM=offscreen
# libgphoto2's own modules are not instrumented: full stacks through them, and their known leak set aside.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$PWD/scripts/lsan.supp"

for preset in default asan; do
  echo "== build and test: $preset"
  scripts/build.sh "$preset"
  ctest --preset "$preset" -j "$(nproc)"
done

# The transfer worker, the camera layer's lock, the real-time scheduler, the start value the instances
# share and the thread that owns each libgphoto2 camera share data across threads.
threaded='^(ShotExecution|RunController|NightLog|SharedSynchro|Scenarios|CameraSdk|VirtualCamera|ThreadSchedulerTest|CliRun|CliSimulate|Gphoto[A-Za-z]*)\.'
echo "== build and test: tsan (threaded tests)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$(nproc)" --target orvex_tests orvex_gphoto2_tests orvex-cli
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --preset tsan -j "$(nproc)" -R "$threaded"
