#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a few seconds each, starting from
# its seed corpus in fuzz/corpus/NAME and the seeds the build made in
# BUILD/fuzz-seeds/NAME, when there are.
set -euo pipefail
build=${1:?fuzz build folder}
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$build" && pwd)
shopt -s nullglob
targets=("$build"/bin/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build" >&2; exit 1; }
for target in "${targets[@]}"; do
  name=$(basename "$target")
  work=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds+=("$root/fuzz/corpus/$name")
  [ -d "$build/fuzz-seeds/$name" ] && seeds+=("$build/fuzz-seeds/$name")
  echo "fuzzing $name for ${seconds}s"
  (cd "$work" && HOME="$work" TMPDIR="$work" TBM_REGISTRY="$work/registry.sqlite" \
     "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
     "$work" "${seeds[@]}" 2>&1 | tail -n 4)
  rm -rf "$work"
done
