#!/usr/bin/env bash
# Times "tbm restore FILE --to DIR" against "unzip -q -o FILE -d DIR" of the same
# backup of the mixed tree (about 330 MB), in the same run: each twice, in turns,
# the better time of each counts; then the ratio (target: at most 1.1x) and a check
# that the restored tree equals the original.
# Usage: bench/tbm_restore.sh [BUILD_DIR]   (a Release build is representative)
set -euo pipefail
build=$(realpath "${1:-build-release}")
tbm="$build/bin/tbm"
[ -x "$tbm" ] || { echo "build the tbm target in $build first (Release)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
mkdir -p "$work/home"
export HOME="$work/home"

"$(dirname "$0")/make_mixed_tree.sh" "$tree"
"$tbm" backup --no-verify --output "$work/tree.tbm" "$tree" >/dev/null 2>"$work/backup.err" || {
    cat "$work/backup.err" >&2; exit 1; }

# seconds COMMAND...: wall seconds of one run, output discarded.
seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>"$work/last.err" || { echo "failed: $*" >&2; cat "$work/last.err" >&2; exit 1; }
    end=$(date +%s.%N)
    python3 -c "import sys; print(float(sys.argv[2]) - float(sys.argv[1]))" "$start" "$end"
}

best_tbm=; best_unzip=
for round in 1 2; do
    rm -rf "$work/to1" "$work/to2"
    sync
    t=$(seconds "$tbm" restore "$work/tree.tbm" --to "$work/to1")
    sync
    u=$(seconds unzip -q -o "$work/tree.tbm" -d "$work/to2")
    best_tbm=$(python3 -c "import sys; print(min(float(x) for x in sys.argv[1:] if x))" $t $best_tbm)
    best_unzip=$(python3 -c "import sys; print(min(float(x) for x in sys.argv[1:] if x))" $u $best_unzip)
done

diff -r --no-dereference "$tree" "$work/to1$tree" >/dev/null || { echo "restored tree differs" >&2; exit 1; }
printf 'tree          %d MB in %d files, backup %d MB\n' "$(du -sm "$tree" | cut -f1)" \
    "$(find "$tree" -type f | wc -l)" "$(( $(stat -c %s "$work/tree.tbm") >> 20 ))"
printf 'tbm restore   %8.2f s\n' "$best_tbm"
printf 'unzip -o -d   %8.2f s\n' "$best_unzip"
python3 -c "import sys; t,u=map(float,sys.argv[1:]); print(f'ratio: {t/u:.3f}x unzip (target <= 1.1x)')" \
    "$best_tbm" "$best_unzip"
