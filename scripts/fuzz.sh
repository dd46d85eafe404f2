#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and runs each for
# SECONDS (60 unless given) from its committed seeds and dictionary. Fails when any target finds an input
# that crashes, hangs or trips a sanitizer; the input is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/compiler-cache.sh
seconds="${1:-60}"
targets=(script_loader settings command_line virtual_profile wav_reader frame_decoder)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# The targets that read files write one per input: in memory, no input waits for a disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

failed=()
for target in "${targets[@]}"; do
  echo "== fuzz: $target for $seconds s"
  # New inputs go to the build folder; the committed seeds stay as they are.
  mkdir -p "build-fuzz/corpus/$target" build-fuzz/findings
  if ! "build-fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -dict="fuzz/dictionaries/$target.dict" -artifact_prefix="build-fuzz/findings/$target-" \
      "build-fuzz/corpus/$target" "fuzz/corpus/$target"; then
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in build-fuzz/findings/)" >&2
  exit 1
fi
echo "fuzz: nothing found"
