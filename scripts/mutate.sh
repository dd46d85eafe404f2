#!/usr/bin/env bash
# Plants the hand-written mutants of scripts/mutants.txt in the engine's sources, one at a time: rebuilds the
# logic tests in build-mutate/, runs them up to the first failure (a mutant that makes them hang past
# MUTATE_TIMEOUT seconds, 300 unless given, counts as caught), puts the source back, and prints the score
# and the mutants no test caught.
#   scripts/mutate.sh            every mutant
#   scripts/mutate.sh REGEX      only the mutants whose line in mutants.txt matches REGEX (a sample)
#   scripts/mutate.sh --check    only tells which mutants no longer match their source
# A mutant whose fragment is not found exactly once is stale: it is listed, never counted. A mutant noted
# "equivalent:" cannot change behaviour; it is listed with its reason and not run.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true # "&" in a replacement is meant literally
cd "$(dirname "$0")/.."
data=scripts/mutants.txt
build=build-mutate
backup="$build/mutate-original"
marker="$build/mutate-file" # names the source being mutated while one is
timeout_s="${MUTATE_TIMEOUT:-300}"
check_only=false filter=""
case "${1:-}" in
--check) check_only=true ;;
*) filter="${1:-}" ;;
esac
export QT_QPA_PLATFORM=offscreen
. scripts/compiler-cache.sh

current=""
restore() {
  if [ -n "$current" ]; then
    # A new time, not the original's: the next build must compile the source again.
    cp "$backup" "$current"
    rm -f "$marker"
    current=""
  fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM HUP

mkdir -p "$build"
# A sweep that was killed outright left its mutant in place: put the source back first.
if [ -f "$marker" ]; then
  current=$(<"$marker")
  echo "restoring $current left mutated by an interrupted sweep"
  restore
fi

trim() {
  local s="$1"
  s="${s#"${s%%[![:space:]]*}"}"
  printf '%s' "${s%"${s##*[![:space:]]}"}"
}

# Reads one data line into file, from, to, note; false for blank and comment lines.
parse() {
  local raw="$1" body
  case "$raw" in '' | '#'*) return 1 ;; esac
  note="" body="$raw"
  if [[ "$raw" == *" # "* ]]; then
    body="${raw%% # *}"
    note=$(trim "${raw#* # }")
  fi
  file=$(trim "${body%%: *}")
  body="${body#*: }"
  from=$(trim "${body%% =>*}")
  to=$(trim "${body#* =>}")
  from="${from//\\n/$'\n'}"
  to="${to//\\n/$'\n'}"
}

# How often the fragment occurs in the file's text.
occurrences() {
  local text="$1" fragment="$2" without
  without="${text//"$fragment"/}"
  echo $(((${#text} - ${#without}) / ${#fragment}))
}

if ! $check_only; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  # The printed manuals too: the documents' tests read them, and no mutant changes them.
  cmake --build "$build" --target orvex_tests orvex_manuals >"$build/mutate-build.log" 2>&1 ||
    { echo "the tree does not build (see $build/mutate-build.log)" >&2; exit 1; }
  "$build/tests/orvex_tests" --gtest_brief=1 >"$build/mutate-test.log" 2>&1 ||
    { echo "the tests fail without any mutant (see $build/mutate-test.log)" >&2; exit 1; }
fi

killed=0 survived=() stale=() equivalent=() broken=()
number=0
while IFS= read -r raw || [ -n "$raw" ]; do
  number=$((number + 1))
  parse "$raw" || continue
  if [ -n "$filter" ] && ! grep -Eq -- "$filter" <<<"$raw"; then continue; fi
  where="$data:$number"
  if [ ! -f "$file" ]; then
    stale+=("$where  no file $file")
    continue
  fi
  text=$(<"$file")
  count=$(occurrences "$text" "$from")
  if [ "$count" -ne 1 ]; then
    stale+=("$where  fragment found $count times in $file")
    continue
  fi
  if [[ "$note" == equivalent:* ]]; then
    equivalent+=("$where  $file: ${note#equivalent: }")
    continue
  fi
  $check_only && continue

  cp -p "$file" "$backup"
  echo "$file" >"$marker"
  current="$file"
  printf '%s\n' "${text/"$from"/"$to"}" >"$file"
  printf '%-28s ' "$where"
  if ! timeout 900 cmake --build "$build" --target orvex_tests >"$build/mutate-build.log" 2>&1; then
    echo "does not compile"
    broken+=("$where")
  elif timeout "$timeout_s" "$build/tests/orvex_tests" --gtest_fail_fast --gtest_brief=1 \
    >"$build/mutate-test.log" 2>&1; then
    echo "SURVIVED"
    survived+=("$where  $(trim "$raw")")
  else
    first=$(grep -m1 -o '^\[  FAILED  \] [^ ,]*' "$build/mutate-test.log" | cut -c14- || true)
    echo "killed by ${first:-a time-out or crash}"
    killed=$((killed + 1))
  fi
  restore
done <"$data"

list() {
  local title="$1"
  shift
  [ $# -eq 0 ] && return
  echo "$title:"
  printf '  %s\n' "$@"
}
list "stale (fragment no longer matches: update $data)" "${stale[@]}"
$check_only && exit $((${#stale[@]} > 0))
list "equivalent (not run)" "${equivalent[@]}"
list "did not compile (not counted)" "${broken[@]}"
list "survivors" "${survived[@]}"
run=$((killed + ${#survived[@]}))
if [ "$run" -gt 0 ]; then
  echo "score: $killed of $run mutants caught ($((100 * killed / run)) %);" \
    "${#equivalent[@]} equivalent, ${#stale[@]} stale, ${#broken[@]} not compiling"
fi
