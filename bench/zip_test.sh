#!/usr/bin/env bash
# Times testing every entry of one archive with our reader, "unzip -tq" and
# "7zz t", in the same run, and prints the times and our ratio to unzip -t.
# Usage: bench/zip_test.sh ARCHIVE [BUILD_DIR]   (a Release build is representative)
# Without an archive argument, "-" makes one from /usr/share with zip -r -6.
set -euo pipefail
build=$(realpath "${2:-build}")
bench="$build/bin/zip_test_bench"
[ -x "$bench" ] || { echo "build the zip_test_bench target first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
archive="${1:--}"
if [ "$archive" = "-" ]; then
    archive="$out/sample.zip"
    (cd /usr/share && zip -q -r -6 "$archive" doc man >/dev/null 2>&1) || true
fi
archive=$(realpath "$archive")
seconds() { python3 -c 'import subprocess,sys,time; s=time.perf_counter(); subprocess.run(sys.argv[1:],check=True,stdout=subprocess.DEVNULL); print(f"{time.perf_counter()-s:.3f}")' "$@"; }
"$bench" "$archive" >/dev/null # warm the page cache for everyone alike
ours=$("$bench" "$archive")
unzip_t=$(seconds unzip -tq "$archive")
printf 'archive %s (%d bytes)\n' "$archive" "$(stat -c %s "$archive")"
printf 'ours     %8s s\n' "$ours"
printf 'unzip -t %8s s\n' "$unzip_t"
if command -v 7zz >/dev/null; then
    printf '7zz t    %8s s\n' "$(seconds 7zz t -mmt=1 "$archive")"
fi
python3 -c "import sys; print(f'ratio to unzip -t: {float(sys.argv[1])/float(sys.argv[2]):.3f}')" \
    "$ours" "$unzip_t"
