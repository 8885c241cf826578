#!/usr/bin/env bash
# The large cases of the zip64 format, too slow for the test suite: a tree with a
# 4.5 GiB file (sparse, with data at both ends) and 70,000 small files is backed
# up; unzip -t, 7zz t, bsdtar -tf and Python's zipfile must accept the backup, tbm
# verify must pass and tbm restore must give the tree back byte for byte. Then the
# same for a fixed-size set of 1 GiB parts (of 4.5 GiB that cannot be compressed),
# renamed the usual way (.z01, ..., .zip) and tested by 7zz through its first part.
# 7-Zip's own zip64 archive of the tree is verified and extracted by tbm. Times tbm
# against zip -r -6 on the same tree and prints the ratio.
# Usage: bench/tbm_zip64.sh [BUILD_DIR]   (needs about 15 GB free in TMPDIR)
set -euo pipefail
build=$(realpath "${1:-build-release}")
tbm="$build/bin/tbm"
[ -x "$tbm" ] || { echo "build the tbm target in $build first (Release)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
mkdir -p "$tree/small" "$work/home"
export HOME="$work/home" TBM_REGISTRY="$work/home/registry"

python3 - "$tree" <<'PY'
import os, sys
root = sys.argv[1]
with open(os.path.join(root, "disk.img"), "wb") as f:
    f.write(b"head")
    f.seek(9 * 2**29 - 4)
    f.write(b"tail")
for d in range(70):
    folder = os.path.join(root, "small", "d%02d" % d)
    os.makedirs(folder)
    for i in range(1000):
        with open(os.path.join(folder, "f%04d.txt" % i), "w") as f:
            f.write("file %d of folder %d\n" % (i, d))
PY

seconds() { local start=$(date +%s.%N); "$@" >/dev/null; echo "$(date +%s.%N) - $start" | bc; }
check() { echo "== $1"; shift; "$@"; }

out="$work/out/tree.tbm"
t_tbm=$(seconds "$tbm" backup --no-verify --output "$out" "$tree")
t_zip=$(cd "$tree" && seconds zip -qr -6 "$work/zip.zip" .)
check "unzip -t" unzip -tq "$out"
check "7zz t" sh -c "7zz t '$out' | tail -3"
check "bsdtar -tf" sh -c "bsdtar -tf '$out' | wc -l"
check "python zipfile" python3 -c "import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None; print(len(z.infolist()), 'entries')" "$out"
check "tbm verify" "$tbm" verify "$out"
check "tbm restore" "$tbm" restore "$out" --to "$work/restored"
check "restored tree equals the original" diff -r "$tree" "$work/restored$tree"
rm -rf "$work/restored"

echo "== 7-Zip's zip64 archive of the tree, read by tbm"
(cd "$tree" && 7zz a -tzip -bd "$work/7zip.zip" . >/dev/null)
"$tbm" verify "$work/7zip.zip"
"$tbm" list "$work/7zip.zip" | tail -1
"$tbm" extract "$work/7zip.zip" --to "$work/x7" >/dev/null
diff -r "$tree" "$work/x7" && echo "7-Zip's archive extracted by tbm equals the tree"
rm -rf "$work/x7" "$work/7zip.zip"

echo "== fixed-size set of 1 GiB parts"
# Zeros would shrink to one part: the set gets 4.5 GiB that deflate cannot shrink.
set_tree="$work/set-tree"
mkdir -p "$set_tree"
head -c $((9 * 2**29)) \
    < <(openssl enc -aes-128-ctr -pass pass:bench -nosalt -pbkdf2 </dev/zero 2>/dev/null) \
    >"$set_tree/random.bin"
echo "a small file beside it" >"$set_tree/small.txt"
set_out="$work/set/tree.tbm"
"$tbm" backup --no-verify --volume-size 1G --output "$set_out" "$set_tree" >/dev/null 2>&1
ls -l "$work/set"
( cd "$work/set"
  n=1
  for part in tree.[0-9][0-9][0-9]; do mv "$part" "$(printf 'tree.z%02d' $n)"; n=$((n + 1)); done
  mv tree.tbm tree.zip
  7zz t tree.zip | tail -4 )
rm -rf "$work/set" "$set_tree"

printf 'tbm backup %.1f s, zip -r -6 %.1f s, ratio %.2f\n' "$t_tbm" "$t_zip" \
    "$(echo "$t_tbm / $t_zip" | bc -l)"
