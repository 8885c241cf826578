#!/usr/bin/env bash
# Times "tbm backup" against "zip -r -6" on the same mixed tree of about 330 MB, in the
# same run: wall time, archive size and peak memory (GNU time) of each and the
# ratios; then an update run with nothing changed, against the full backup's time.
# Usage: bench/tbm_backup.sh [BUILD_DIR]   (a Release build is representative)
set -euo pipefail
build=$(realpath "${1:-build-release}")
tbm="$build/bin/tbm"
[ -x "$tbm" ] || { echo "build the tbm target in $build first (Release)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
mkdir -p "$tree" "$work/out" "$work/home"

# The mixed tree, shared with the other benchmarks.
"$(dirname "$0")/make_mixed_tree.sh" "$tree"

source "$(dirname "$0")/measure.sh"

export HOME="$work/home"
sync
measure tbm "$tbm" backup --no-verify --output "$work/out/tree.tbm" "$tree"
measure zip bash -c "cd '$work' && zip -r -6 -q '$work/out/tree.zip' tree"
measure update "$tbm" backup --type update --no-verify --output "$work/out/tree.tbm" "$tree"

tbm_size=$(stat -c %s "$work/out/tree.tbm")
zip_size=$(stat -c %s "$work/out/tree.zip")
printf 'tree         %d MB in %d files\n' "$(du -sm "$tree" | cut -f1)" "$(find "$tree" -type f | wc -l)"
printf 'tbm backup   %8.2f s  %12d bytes  %7d KB peak\n' "$tbm_wall" "$tbm_size" "$tbm_rss"
printf 'zip -r -6    %8.2f s  %12d bytes  %7d KB peak\n' "$zip_wall" "$zip_size" "$zip_rss"
printf 'tbm update   %8.2f s  (nothing changed)  %7d KB peak\n' "$update_wall" "$update_rss"
python3 -c "import sys; t,z,ts,zs,u=map(float,sys.argv[1:]); print(f'ratios: time {t/z:.3f}x zip  size {ts/zs:.4f}x zip  update {u/t:.3f}x full')" \
    "$tbm_wall" "$zip_wall" "$tbm_size" "$zip_size" "$update_wall"
