#!/usr/bin/env bash
# Which program lines each test runs, to find where tests overlap before folding them. Builds with clang's
# source coverage in build-coverage/, runs every test alone (with the orvex-cli it starts), and writes:
#   build-coverage/lines/NNN.lines  the lines of app/ … resources/ that test NNN ran, as FILE:LINE
#   build-coverage/report.txt        per test file, each test's lines run, lines no other test runs and its
#                                    own length; "R" marks a test that runs no line of its own. Its second
#                                    line is the floor of a fold that keeps every line run: the share of
#                                    tests/ in the code with only the tests needed to run them all
# A night whose orvex-cli is cut off leaves a torn profile: it is skipped with a warning.
# A line run is not a line checked: before dropping an "R" test, plant the fault its checks are about and see
# another test fail.
#   scripts/coverage.sh              build, run and report
#   scripts/coverage.sh FILE:A-B     after a run: which tests ran those lines
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-coverage
command -v llvm-profdata >/dev/null && command -v llvm-cov >/dev/null ||
  { echo "coverage.sh needs llvm-profdata and llvm-cov: sudo apt-get install llvm" >&2; exit 1; }
if [ $# -gt 0 ]; then
  for range in "$@"; do
    file=${range%%:*} lines=${range#*:}
    from=${lines%-*} to=${lines#*-}
    echo "== $range"
    for f in "$build"/lines/*.lines; do
      n=$(awk -F: -v f="$file" -v a="$from" -v b="$to" '$1 == f && $2 >= a && $2 <= b' "$f" | wc -l)
      if [ "$n" -gt 0 ]; then
        printf '%5d %s\n' "$n" "$(sed -n "$(($(basename "$f" .lines) + 1))p" "$build/names")"
      fi
    done
  done
  exit 0
fi

flags="-fprofile-instr-generate -fcoverage-mapping"
# Never through ccache (scripts/compiler-cache.sh): its objects name the sources relative to the tree, and
# their lines would count for no folder.
cmake -G Ninja -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_COMPILER_LAUNCHER= -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -rf "$build/profiles" "$build/lines"
mkdir -p "$build/profiles" "$build/lines"
export QT_QPA_PLATFORM=offscreen
(cd "$build" && ctest --show-only=json-v1) >"$build/tests.json"
python3 - "$build" <<'EOF'
import json, os, subprocess, sys
build = sys.argv[1]
tests = json.load(open(f"{build}/tests.json"))["tests"]
with open(f"{build}/names", "w") as names:
    for i, t in enumerate(tests):
        names.write(t["name"] + "\n")
        env = dict(os.environ, LLVM_PROFILE_FILE=f"{os.path.abspath(build)}/profiles/{i:03d}/%p.profraw")
        cwd = None
        for p in t.get("properties", []):
            if p["name"] == "ENVIRONMENT":
                env.update(kv.split("=", 1) for kv in p["value"])
            if p["name"] == "WORKING_DIRECTORY":
                cwd = p["value"]
        subprocess.run(t["command"], env=env, cwd=cwd, capture_output=True, timeout=900)
EOF
objects=()
for binary in tests/orvex_tests tests/orvex_qt_tests tests/gphoto2/orvex_gphoto2_tests \
  orvex-cli orvex; do
  if [ -x "$build/$binary" ]; then objects+=(-object "$build/$binary"); fi
done
root="$PWD/"
for dir in "$build"/profiles/*/; do
  i=$(basename "$dir")
  llvm-profdata merge -sparse --failure-mode=all "$dir"*.profraw -o "$build/profiles/$i.profdata" || continue
  llvm-cov export -format=lcov -instr-profile="$build/profiles/$i.profdata" "${objects[@]}" |
    awk -F'[:,]' -v root="$root" '
      /^SF:/ { f = substr($0, 4); sub(root, "", f); keep = (f ~ /^(app|core|script|run|camera|sdk|liveview|ui|platform|resources)\//) }
      keep && /^DA:/ && $3 > 0 { print f ":" $2 }' | sort -u >"$build/lines/$i.lines"
done
python3 - "$build" <<'EOF' >"$build/report.txt"
import collections, os, re, subprocess, sys
build = sys.argv[1]
names = open(f"{build}/names").read().split("\n")
runs = {names[int(f[:3])]: set(open(f"{build}/lines/{f}").read().split())
        for f in sorted(os.listdir(f"{build}/lines"))}
count = collections.Counter(line for lines in runs.values() for line in lines)


def counted(text):  # as the before-stop hook counts: lines neither blank nor only a comment
    return sum(1 for line in text.split("\n") if line.strip() and not line.strip().startswith("//"))


where, size = {}, {}
for top, _, files in os.walk("tests"):
    for f in files:
        if f.endswith(".cpp"):
            path = os.path.join(top, f)
            text = open(path).read()
            starts = list(re.finditer(r"^TEST(?:_F)?\((\w+),\s*(\w+)\)", text, re.M))
            for m, after in zip(starts, starts[1:] + [None]):
                where[f"{m[1]}.{m[2]}"] = path
                size[f"{m[1]}.{m[2]}"] = counted(text[m.start():after.start() if after else len(text)])
own = {t: sum(1 for line in lines if count[line] == 1) for t, lines in runs.items()}
print(f"{len(count)} program lines run by {len(runs)} tests; "
      f"{sum(1 for t in runs if not own[t])} tests (R) run no line of their own")
# The floor of any fold that keeps every line run: the tests with a line of their own, then the fewest test
# lines that run the rest; all else in tests/ (fixtures, helpers, the emulated body) as it is.
kept = {t for t in runs if own[t]}
left = set(count) - set().union(*(runs[t] for t in kept))
while left:
    best = max((t for t in runs if t not in kept), key=lambda t: len(runs[t] & left) / max(size.get(t, 1), 1))
    kept.add(best)
    left -= runs[best]


def lines_in(*folders):
    files = subprocess.run(["git", "ls-files", "--", *folders], capture_output=True, text=True).stdout.split()
    return sum(counted(open(f).read()) for f in files if re.search(r"\.(cpp|h|hpp|cc)$", f))


tests = lines_in("tests/*")
code = lines_in(*(f"{d}/*" for d in "app core script run camera sdk liveview ui platform resources".split()))
floor = tests - sum(size.get(t, 0) for t in runs if t not in kept)
print(f"tests/ has {tests} lines, {100 * tests / code:.1f} % of the code ({code}); with only the tests that "
      f"run every line: {floor}, {100 * floor / code:.1f} %")
for path in sorted(set(where.get(t, "?") for t in runs)):
    print("==", path)
    for t in sorted(t for t in runs if where.get(t, "?") == path):
        print(f"  {' ' if own[t] else 'R'} run={len(runs[t]):5d} own={own[t]:4d} lines={size.get(t, 0):3d} {t}")
EOF
head -2 "$build/report.txt"
