#!/usr/bin/env bash
# Builds the fuzz tree and runs every fuzz target in it for SECONDS each (default 60), one at a
# time, each on a fresh copy of its seeds (the repository's corpus is never written), then
# prints one line per target: runs, coverage and findings. Targets are the build tree's
# executables named *_fuzzer; by corvane_fuzzer()'s rule the seeds of <dir>/x_fuzzer are
# <dir>/fuzz/corpus/x/ in the source tree, its dictionary <dir>/fuzz/x.dict if there is one.
# Findings (crash-, leak-, timeout-, oom- files) of a target's last run stay in
# build/fuzz/findings/<target>/; the exit status is 1 when any target found something or did
# not run to its end.
# Usage: tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: tools/fuzz.sh [SECONDS]" >&2; exit 2; }

# Standard output is the report alone.
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >&2

tree=build/fuzz
runs_dir="$tree/fuzz-runs"
mapfile -t targets < <(find "$tree" -path "$runs_dir" -prune -o -path "$tree/findings" -prune -o \
  -type f -perm -u+x -name '*_fuzzer' -print | sort)
[[ ${#targets[@]} -gt 0 ]] || { echo "fuzz: no fuzz targets in $tree" >&2; exit 1; }

failed=0
report=()
for exe in "${targets[@]}"; do
  name=$(basename "$exe")
  stem=${name%_fuzzer}
  dir=$(dirname "${exe#"$tree"/}")
  seeds="$dir/fuzz/corpus/$stem"
  [[ -d "$seeds" ]] || { echo "fuzz: $name has no seeds in $seeds" >&2; exit 1; }
  work="$runs_dir/$name"
  findings="$tree/findings/$name"
  rm -rf "$work" "$findings"
  mkdir -p "$work/corpus" "$findings"
  cp -R "$seeds/." "$work/corpus/"
  options=(-max_total_time="$seconds" -timeout=20 -print_final_stats=1 -artifact_prefix="$findings/")
  [[ -f "$dir/fuzz/$stem.dict" ]] && options+=(-dict="$dir/fuzz/$stem.dict")
  echo "== $name (${seconds}s)" >&2
  status=0
  "$exe" "${options[@]}" "$work/corpus" >"$work.log" 2>&1 || status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work.log" | tail -n 1)
  [[ -n "$runs" ]] || runs=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$work.log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9][0-9]*\).*/\1/p' "$work.log" | tail -n 1)
  found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  line=$(printf '%-28s runs %10s  cov %6s  findings %d' "$name" "${runs:-?}" "${cov:-?}" "$found")
  if [[ $found -gt 0 || $status -ne 0 ]]; then
    failed=1
    line+="  (exit $status, log $work.log)"
  fi
  report+=("$line")
done

printf '%s\n' "${report[@]}"
exit "$failed"
