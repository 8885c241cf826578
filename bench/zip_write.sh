#!/usr/bin/env bash
# Times our writer against "zip -r -6" and "7zz a -tzip -mx=6" on one folder, in the
# same run, and prints the times, the sizes and our ratios to zip.
# Usage: bench/zip_write.sh FOLDER [BUILD_DIR]   (build with -DCMAKE_BUILD_TYPE=Release)
set -euo pipefail
folder=$(realpath "$1")
build=$(realpath "${2:-build}")
bench="$build/bin/zip_write_bench"
[ -x "$bench" ] || { echo "build the zip_write_bench target first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
seconds() { local s e; s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N); echo "$e - $s" | bc; }

ours=$("$bench" "$folder" "$out/ours.zip")
zip_t=$(cd "$(dirname "$folder")" && seconds zip -q -r -6 "$out/zip.zip" "$(basename "$folder")")
sz_t=-
if command -v 7zz >/dev/null; then
    sz_t=$(cd "$(dirname "$folder")" && seconds 7zz a -tzip -mx=6 -mmt=1 "$out/7z.zip" "$(basename "$folder")")
fi
ours_b=$(stat -c %s "$out/ours.zip")
zip_b=$(stat -c %s "$out/zip.zip")
printf 'ours   %8.3f s %12d bytes\n' "$ours" "$ours_b"
printf 'zip    %8.3f s %12d bytes\n' "$zip_t" "$zip_b"
[ "$sz_t" = - ] || printf '7zz    %8.3f s %12d bytes\n' "$sz_t" "$(stat -c %s "$out/7z.zip")"
printf 'ratio to zip: time %.3f  size %.4f\n' "$(echo "$ours / $zip_t" | bc -l)" \
    "$(echo "$ours_b / $zip_b" | bc -l)"
