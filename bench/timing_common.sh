# Sourced by the timing benchmarks. Reads --shots N (default $shots) and, where $load is set, --load N;
# then gives a scratch folder $work and a list $pids of processes started in the background, both gone
# when the script ends, and start_load to keep $load busy loops running meanwhile.
while [ $# -gt 0 ]; do
  case "$1" in
    --shots) shots="$2"; shift 2 ;;
    --load) [ -n "${load+set}" ] || break; load="$2"; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -gt 0 ]; then
  echo "usage: $0 [--shots N]${load+ [--load N]}" >&2
  exit 2
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

start_load() {
  for _ in $(seq "$load"); do
    (while :; do :; done) &
    pids+=($!)
  done
}
