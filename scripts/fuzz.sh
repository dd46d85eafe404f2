#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer + UndefinedBehaviorSanitizer) and runs each for
# SECONDS (60 unless given) from its committed seeds and dictionary. Fails when any target finds an input
# that crashes, hangs or trips a sanitizer; the input is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/compiler-cache.sh
seconds="${1:-60}"
targets=(script_loader settings command_line virtual_profile wav_reader frame_decoder shooting_time)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# The targets that read files write one per input: in memory, no input waits for a disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

# One target a core at a time: each still fuzzes for its whole time, and the run takes a share of it.
fuzz() {
  local target="$1"
  # New inputs go to the build folder; the committed seeds stay as they are.
  mkdir -p "build-fuzz/corpus/$target" build-fuzz/findings build-fuzz/logs
  "build-fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -dict="fuzz/dictionaries/$target.dict" -artifact_prefix="build-fuzz/findings/$target-" \
    "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"build-fuzz/logs/$target.log" 2>&1
}
declare -A running=() # pid -> target
failed=()
finish_one() {
  local pid status=0
  wait -n -p pid "${!running[@]}" || status=$?
  local target="${running[$pid]}"
  unset "running[$pid]"
  echo "== fuzz: $target for $seconds s"
  if [ "$status" -eq 0 ]; then
    grep -E '^(Done|stat::)' "build-fuzz/logs/$target.log" || true
  else
    cat "build-fuzz/logs/$target.log"
    failed+=("$target")
  fi
}
for target in "${targets[@]}"; do
  [ ${#running[@]} -lt "$(nproc)" ] || finish_one
  fuzz "$target" &
  running[$!]="$target"
done
while [ ${#running[@]} -gt 0 ]; do finish_one; done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]} (inputs in build-fuzz/findings/)" >&2
  exit 1
fi
echo "fuzz: nothing found"
