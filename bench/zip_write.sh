#!/usr/bin/env bash
# Times our writer against "zip -r -6" and "7zz a -tzip -mx=6" on one folder, in the
# same run, and prints the times, the sizes and our ratios to zip.
# Usage: bench/zip_write.sh FOLDER [BUILD_DIR]   (a Release build is representative)
set -euo pipefail
folder=$(realpath "$1")
build=$(realpath "${2:-build}")
bench="$build/bin/zip_write_bench"
[ -x "$bench" ] || { echo "build the zip_write_bench target first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
seconds() { python3 -c 'import subprocess,sys,time; s=time.perf_counter(); subprocess.run(sys.argv[1:],check=True,stdout=subprocess.DEVNULL); print(f"{time.perf_counter()-s:.3f}")' "$@"; }
ours=$("$bench" "$folder" "$out/ours.zip")
zip_t=$(cd "$(dirname "$folder")" && seconds zip -q -r -6 "$out/zip.zip" "$(basename "$folder")")
ours_b=$(stat -c %s "$out/ours.zip")
zip_b=$(stat -c %s "$out/zip.zip")
printf 'ours   %8s s %12d bytes\n' "$ours" "$ours_b"
printf 'zip    %8s s %12d bytes\n' "$zip_t" "$zip_b"
if command -v 7zz >/dev/null; then
    sz_t=$(cd "$(dirname "$folder")" && seconds 7zz a -tzip -mx=6 -mmt=1 "$out/7z.zip" "$(basename "$folder")")
    printf '7zz    %8s s %12d bytes\n' "$sz_t" "$(stat -c %s "$out/7z.zip")"
fi
python3 -c "import sys; print(f'ratio to zip: time {float(sys.argv[1])/float(sys.argv[2]):.3f}  size {int(sys.argv[3])/int(sys.argv[4]):.4f}')" \
    "$ours" "$zip_t" "$ours_b" "$zip_b"
