#!/usr/bin/env bash
# Times the update run against the full backup it updates, and Info-ZIP's update
# against its own full run, in the same run on the same tree: a full "tbm backup",
# then 3,000 small files changed and "tbm backup --type update", then an update with
# nothing changed; zip -r -6 for the full run and zip -r -FS for both updates. Prints
# the times and the ratios update/full (target <= 0.5) and no-change/full (<= 0.05).
# Usage: bench/tbm_update.sh [BUILD_DIR] [SIZE_MB | FOLDER]
#   SIZE_MB (default 1024) builds a tree of about that size with 8,000 small files;
#   a FOLDER is copied first, so its files are never touched.
# A Release build is representative; the page cache is warm for every run alike.
set -euo pipefail
build=$(realpath "${1:-build-release}")
what=${2:-1024}
tbm="$build/bin/tbm"
[ -x "$tbm" ] || { echo "build the tbm target in $build first (Release)" >&2; exit 1; }
command -v zip >/dev/null || { echo "zip is needed for the comparison" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
mkdir -p "$work/out" "$work/home"

if [ -d "$what" ]; then
    cp -a "$what" "$tree"
else
    # Small documents (the files an update finds changed), compressible logs and
    # incompressible media filling up to the size asked for.
    python3 - "$tree" "$what" <<'PY'
import os, random, sys
root, size_mb = sys.argv[1], int(sys.argv[2])
rnd = random.Random(11)
words = [''.join(rnd.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(rnd.randint(2, 9)))
         for _ in range(5000)]
def text(n):
    out, size = [], 0
    while size < n:
        line = ' '.join(rnd.choice(words) for _ in range(rnd.randint(4, 14))) + '\n'
        out.append(line); size += len(line)
    return ''.join(out)
small = 0
for d in range(80):
    folder = os.path.join(root, 'docs', f'd{d:02}')
    os.makedirs(folder)
    for f in range(100):
        body = text(rnd.randint(500, 20000))
        small += len(body)
        with open(os.path.join(folder, f'note{f:03}.txt'), 'w') as fh:
            fh.write(body)
rest = max(size_mb * (1 << 20) - small, 0)
chunk = text(4 << 20).encode()
os.makedirs(os.path.join(root, 'logs'))
os.makedirs(os.path.join(root, 'media'))
i = 0
while rest > 0:
    n = min(rest, 40 << 20)
    if i % 5 < 2:
        with open(os.path.join(root, 'logs', f'server{i}.log'), 'wb') as fh:
            left = n
            while left > 0:
                fh.write(chunk[:left]); left -= len(chunk)
    else:
        with open(os.path.join(root, 'media', f'video{i}.bin'), 'wb') as fh:
            left = n
            while left > 0:
                fh.write(os.urandom(min(left, 1 << 20))); left -= 1 << 20
    rest -= n
    i += 1
PY
fi

source "$(dirname "$0")/measure.sh"

export HOME="$work/home"
tbm_args=(--no-verify --output "$work/out/tree.tbm" "$tree")
measure full "$tbm" backup "${tbm_args[@]}"
measure zipfull bash -c "cd '$work' && zip -r -6 -q out/tree.zip tree"

# 3,000 small files changed: half grow by a line, half keep their size with other
# bytes and a time one hour later (both sides compare size and time).
changed=$(python3 - "$tree" <<'PY'
import os, random, sys
files = sorted(os.path.join(d, f) for d, _, fs in os.walk(sys.argv[1]) for f in fs
               if os.path.getsize(os.path.join(d, f)) < 64 << 10)
rnd = random.Random(3)
picked = rnd.sample(files, min(3000, len(files)))
for i, path in enumerate(picked):
    st = os.stat(path)
    if i % 2:
        with open(path, 'ab') as fh:
            fh.write(b'\nchanged for the update benchmark\n')
    else:
        with open(path, 'r+b') as fh:
            data = bytearray(fh.read())
            data[: min(16, len(data))] = b'#' * min(16, len(data))
            fh.seek(0); fh.write(data)
        os.utime(path, (st.st_atime, st.st_mtime + 3600))
print(len(picked))
PY
)
measure update "$tbm" backup --type update "${tbm_args[@]}"
measure zipupdate bash -c "cd '$work' && zip -r -FS -6 -q out/tree.zip tree"
measure same "$tbm" backup --type update "${tbm_args[@]}"
measure zipsame bash -c "cd '$work' && zip -r -FS -6 -q out/tree.zip tree"

printf 'tree           %d MB in %d files, %d small files changed\n' \
    "$(du -sm "$tree" | cut -f1)" "$(find "$tree" -type f | wc -l)" "$changed"
printf 'tbm full       %8.2f s   zip -r      %8.2f s\n' "$full_wall" "$zipfull_wall"
printf 'tbm update     %8.2f s   zip -r -FS  %8.2f s\n' "$update_wall" "$zipupdate_wall"
printf 'tbm no change  %8.2f s   zip -r -FS  %8.2f s\n' "$same_wall" "$zipsame_wall"
python3 - "$full_wall" "$update_wall" "$same_wall" "$zipfull_wall" "$zipupdate_wall" "$zipsame_wall" <<'PY'
import sys
f, u, s, zf, zu, zs = map(float, sys.argv[1:])
mark = lambda ok: 'ok' if ok else 'OVER TARGET'
print(f'ratios: tbm update/full {u/f:.3f} (target <= 0.5, {mark(u/f <= 0.5)})'
      f'  no-change/full {s/f:.3f} (target <= 0.05, {mark(s/f <= 0.05)})')
print(f'        zip update/full {zu/zf:.3f}  no-change/full {zs/zf:.3f}')
print(f'        tbm/zip full {f/zf:.3f}  update {u/zu:.3f}  no-change {s/zs:.3f}')
PY
