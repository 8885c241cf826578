#!/usr/bin/env bash
# Times tbm against the ZIP tools on a mixed tree of at least 1 GB copied from this
# machine (headers, documentation, translations, Python's library, shared libraries,
# generated text) with media that does not compress, in one run: backup against
# zip -r -6, 7zz -mx5 and tar | pigz -6 (time, size, peak memory); verify against
# 7zz t and unzip -t; extract and restore against unzip -o and 7zz x; the backup of
# 60,000 and 120,000 small files against zip -r (the median of three runs each).
# Checks on the way: backups made with 1, 2 and 4 threads are identical (when tbm has
# --threads), unzip, 7zz, bsdtar and Python's zipfile accept the backup, and the
# restored trees equal the original.
# Ends with the targets beside the measured ratios. Exits 1 when a tool or a check
# fails, 0 otherwise: a missed target is a measurement, not a failure.
# Usage: bench/tbm_speed.sh [BUILD_DIR] [--small]   (a Release build is representative;
#        needs about 8 GB free in TMPDIR; --small: a 100 MB tree, to try the script)
# shellcheck disable=SC2154  # measure sets NAME_wall and NAME_rss through printf -v
set -euo pipefail
small=0 build_arg=
for arg in "$@"; do
    case $arg in
        --small) small=1 ;;
        -*) echo "usage: $0 [BUILD_DIR] [--small]" >&2; exit 2 ;;
        *) build_arg=$arg ;;
    esac
done
build=$(realpath "${build_arg:-build-release}")
tbm="$build/bin/tbm"
[ -x "$tbm" ] || { echo "build the tbm target in $build first (Release)" >&2; exit 1; }
for tool in zip unzip 7zz bsdtar pigz python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree="$work/tree" out="$work/out"
mkdir -p "$out" "$work/home" "$work/tmp"
export HOME="$work/home" TBM_REGISTRY="$work/home/registry.sqlite" TMPDIR="$work/tmp"

# The mixed tree: copies of system folders (regular files only, in name order, each
# folder up to its share under --small), 150 shared libraries, random media and
# blobs behind the magic bytes of compressed formats, then generated text up to size.
if [ "$small" = 1 ]; then scale=0.1 target=$((100 << 20)); else scale=1 target=$((1 << 30)); fi
python3 - "$tree" "$target" "$scale" <<'PY'
import os, random, shutil, sys
root, target, scale = sys.argv[1], int(sys.argv[2]), float(sys.argv[3])
rnd = random.Random(11)
total = 0
def copy(src, dst):
    global total
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    shutil.copy2(src, dst)
    total += os.path.getsize(dst)
def put(path, data):
    global total
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
    total += len(data)
def copy_folder(src):
    size = sum(os.path.getsize(os.path.join(d, n)) for d, _, names in os.walk(src) for n in names
               if os.path.isfile(os.path.join(d, n)) and not os.path.islink(os.path.join(d, n)))
    used = 0
    for folder, dirs, names in os.walk(src):
        dirs.sort()
        for name in sorted(names):
            path = os.path.join(folder, name)
            if os.path.islink(path) or not os.path.isfile(path) or not os.access(path, os.R_OK):
                continue
            if used >= size * scale:
                return
            copy(path, root + path)
            used += os.path.getsize(path)
for src in ('/usr/include', '/usr/share/doc', '/usr/share/locale', '/usr/lib/python3.11'):
    copy_folder(src)
libdir = '/usr/lib/x86_64-linux-gnu'
libs = sorted(n for n in os.listdir(libdir) if '.so' in n
              and os.path.isfile(os.path.join(libdir, n)) and not os.path.islink(os.path.join(libdir, n)))
libs = libs[::max(1, len(libs) // 150)][:150]
for name in libs[::round(1 / scale)]:
    copy(os.path.join(libdir, name), root + libdir + '/' + name)
mb = 1 << 20
for i in range(3):
    put(f'{root}/media/video{i}.mp4', rnd.randbytes(int(30 * mb * scale)))
magic = {'jpg': b'\xff\xd8\xff\xe0\x00\x10JFIF\x00', 'png': b'\x89PNG\r\n\x1a\n',
         'gz': b'\x1f\x8b\x08\x00', 'xz': b'\xfd7zXZ\x00'}
for ext, count in (('jpg', 12), ('png', 10), ('gz', 4), ('xz', 4)):
    for i in range(count):
        put(f'{root}/media/{ext}/file{i:02}.{ext}',
            magic[ext] + rnd.randbytes(int(rnd.randint(mb // 4, 4 * mb) * scale)))
words = [''.join(rnd.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(rnd.randint(2, 9)))
         for _ in range(5000)]
pool = ' '.join(rnd.choice(words) + ('\n' if rnd.random() < 0.08 else '')
                for _ in range(1_500_000)).encode()
i = 0
while total < target:
    size = min(rnd.randint(16 << 10, 8 * mb), len(pool) // 2)
    start = rnd.randrange(len(pool) - size)
    put(f'{root}/text/d{i // 40:02}/log{i:04}.txt', pool[start:start + size])
    i += 1
PY
printf 'tree: %d files, %d MB (%d bytes)\n' "$(find "$tree" -type f | wc -l)" \
    "$(du -sm --apparent-size "$tree" | cut -f1)" "$(du -sb --apparent-size "$tree" | cut -f1)"

source "$(dirname "$0")/measure.sh"
# ratio A B: A / B with three decimals.
ratio() { python3 -c 'import sys; a, b = map(float, sys.argv[1:]); print(f"{a / b:.3f}" if b else "inf")' "$1" "$2"; }
# line LABEL NAME [FILE]: the wall time, peak memory and size of FILE of measure's NAME.
line() {
    local wall="${2}_wall" rss="${2}_rss"
    printf '  %-26s %8.2f s %7d MB peak' "$1" "${!wall}" $(( ${!rss} / 1024 ))
    if [ -n "${3:-}" ]; then printf ' %14d bytes\n' "$(stat -c %s "$3")"; else echo; fi
}
fail() { echo "FAILED: $*" >&2; exit 1; }
# median NAME: NAME_wall becomes the median of NAME_1..3_wall, NAME_rss their largest.
median() {
    local w1="${1}_1_wall" w2="${1}_2_wall" w3="${1}_3_wall"
    local r1="${1}_1_rss" r2="${1}_2_rss" r3="${1}_3_rss"
    printf -v "${1}_wall" '%s' "$(printf '%s\n' "${!w1}" "${!w2}" "${!w3}" | sort -g | sed -n 2p)"
    printf -v "${1}_rss" '%s' "$(printf '%s\n' "${!r1}" "${!r2}" "${!r3}" | sort -g | tail -1)"
}
summary=()

echo "== backup"
measure tbm "$tbm" backup --no-verify --output "$out/tree.tbm" "$tree"
measure zip bash -c "cd '$work' && zip -qr -6 '$out/tree.zip' tree"
measure sevenzip bash -c "cd '$work' && 7zz a -tzip -mx5 '$out/tree7.zip' tree"
measure pigz bash -o pipefail -c "cd '$work' && tar -cf - tree | pigz -6 > '$out/tree.tar.gz'"
line "tbm backup --no-verify" tbm "$out/tree.tbm"
line "zip -qr -6" zip "$out/tree.zip"
line "7zz a -tzip -mx5" sevenzip "$out/tree7.zip"
line "tar | pigz -6" pigz "$out/tree.tar.gz"
tbm_size=$(stat -c %s "$out/tree.tbm") zip_size=$(stat -c %s "$out/tree.zip")
echo "  tbm/zip time $(ratio "$tbm_wall" "$zip_wall")  tbm/zip size $(ratio "$tbm_size" "$zip_size")" \
     " tbm/7zz time $(ratio "$tbm_wall" "$sevenzip_wall")  tbm/pigz time $(ratio "$tbm_wall" "$pigz_wall")"
summary+=("backup time / zip -r -6|$(ratio "$tbm_wall" "$zip_wall")|0.30"
          "backup size / zip -r -6|$(ratio "$tbm_size" "$zip_size")|1.01"
          "backup peak RSS (MB)|$(( tbm_rss / 1024 ))|200")

# The option is looked for in the help and in the usage of an unknown option.
usage=$("$tbm" backup --help 2>&1 || true; "$tbm" backup --no-such-option 2>&1 || true)
if grep -q -- '--threads' <<<"$usage"; then
    for n in 1 2 4; do
        measure "threads$n" "$tbm" backup --threads "$n" --no-verify --output "$out/threads$n.tbm" "$tree"
        line "tbm backup --threads $n" "threads$n" "$out/threads$n.tbm"
    done
    echo "  --threads 4 / --threads 1 time $(ratio "$threads4_wall" "$threads1_wall")"
    # Byte for byte; or else every entry of the tree alike, header and data, when only
    # the backup's own entries differ (they carry the date and time of the run).
    how="byte for byte"
    for n in 2 4; do
        cmp -s "$out/threads1.tbm" "$out/threads$n.tbm" && continue
        python3 - "$out/threads1.tbm" "$out/threads$n.tbm" "${tree#/}/" <<'PY' || fail "--threads 1 and --threads $n backups differ"
import hashlib, struct, sys, zipfile
def entries(path):
    found = {}
    with zipfile.ZipFile(path) as z, open(path, 'rb') as f:
        for e in z.infolist():
            if not e.filename.startswith(sys.argv[3]):
                found[e.filename] = None
                continue
            f.seek(e.header_offset)
            head = f.read(30)
            name_len, extra_len = struct.unpack('<HH', head[26:30])
            data = head[4:] + f.read(name_len + extra_len + e.compress_size)
            found[e.filename] = (e.CRC, e.compress_type, e.flag_bits, e.date_time, e.external_attr,
                                 e.extra, hashlib.sha256(data).hexdigest())
    return found
a, b = entries(sys.argv[1]), entries(sys.argv[2])
bad = [n for n in sorted(set(a) | set(b)) if a.get(n, 0) != b.get(n, 0)]
sys.exit('entries that differ: ' + ', '.join(bad[:10]) if bad else 0)
PY
        how="in every entry of the tree (the backup's own entries carry the run's date)"
    done
    echo "  --threads 1, 2, 4: identical $how"
else
    echo "  tbm backup has no --threads: thread runs skipped"
fi

echo "== verify"
measure verify "$tbm" verify "$out/tree.tbm"
measure test7 7zz t "$out/tree.tbm"
measure testunzip unzip -tq "$out/tree.tbm"
line "tbm verify" verify
line "7zz t" test7
line "unzip -tq" testunzip
echo "  tbm/7zz $(ratio "$verify_wall" "$test7_wall")  tbm/unzip $(ratio "$verify_wall" "$testunzip_wall")"
summary+=("verify time / 7zz t|$(ratio "$verify_wall" "$test7_wall")|0.5")
# unzip -t and 7zz t passed above (their exit status); bsdtar and zipfile list alike.
bsd=$(bsdtar -tf "$out/tree.tbm" | wc -l) || fail "bsdtar -tf $out/tree.tbm"
py=$(python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); bad = z.testzip()
if bad: sys.exit(f"zipfile: {bad} is damaged")
print(len(z.infolist()))' "$out/tree.tbm") || fail "Python zipfile testzip() of $out/tree.tbm"
[ "$bsd" = "$py" ] || fail "bsdtar lists $bsd entries, zipfile $py"
echo "  peers accept the backup: unzip -t, 7zz t, bsdtar -tf ($bsd entries), zipfile testzip ($py entries)"

echo "== restore"
measure extract "$tbm" extract "$out/tree.tbm" --to "$work/x1"
measure restore "$tbm" restore "$out/tree.tbm" --to "$work/x2"
measure unzip unzip -oq "$out/tree.zip" -d "$work/x3"
measure x7 7zz x -y "$out/tree7.zip" -o"$work/x4"
line "tbm extract --to" extract
line "tbm restore --to" restore
line "unzip -oq -d" unzip
line "7zz x -y -o" x7
echo "  extract: tbm/unzip $(ratio "$extract_wall" "$unzip_wall")  tbm/7zz $(ratio "$extract_wall" "$x7_wall")"
echo "  restore: tbm/unzip $(ratio "$restore_wall" "$unzip_wall")  tbm/7zz $(ratio "$restore_wall" "$x7_wall")"
summary+=("extract time / unzip -o|$(ratio "$extract_wall" "$unzip_wall")|0.6"
          "restore time / unzip -o|$(ratio "$restore_wall" "$unzip_wall")|0.6")
# Both put the stored path, the tree's absolute path without its "/", below the folder.
for run in x1:extract x2:restore; do
    got="$work/${run%:*}/${tree#/}"
    [ -d "$got" ] || fail "tbm ${run#*:} made no $got: $(ls "$work/${run%:*}")"
    diff -r "$tree" "$got" >"$work/diff.out" 2>&1 ||
        { head -20 "$work/diff.out" >&2; fail "the tree from tbm ${run#*:} differs from the original"; }
done
echo "  the extracted and restored trees equal the original"
rm -rf "${work:?}"/x[1-4] "$tree" "${out:?}"/*

echo "== many small files"
# small NAME FILES FOLDERS: FILES files of 70 bytes spread over FOLDERS folders.
small() {
    python3 - "$work/$1" "$2" "$3" <<'PY'
import os, sys
root, files, folders = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for d in range(folders):
    os.makedirs(f'{root}/d{d:03}')
    for i in range(files // folders):
        with open(f'{root}/d{d:03}/f{i:04}.txt', 'w') as f:
            f.write((f'folder {d:03}, file {i:04}: a few words of text that fill a line ')[:69] + '\n')
PY
    # A run of 2-3 seconds swings by a third on a busy machine: three runs of each,
    # taken in turns, and the median of each tool's times.
    for i in 1 2 3; do
        rm -f "$out/$1.tbm" "$out/$1.zip"
        measure "tbm_$1_$i" "$tbm" backup --no-verify --output "$out/$1.tbm" "$work/$1"
        measure "zip_$1_$i" bash -c "cd '$work' && zip -qr '$out/$1.zip' '$1'"
    done
    median "tbm_$1"; median "zip_$1"
    line "tbm backup, $2 files" "tbm_$1" "$out/$1.tbm"
    line "zip -qr, $2 files" "zip_$1" "$out/$1.zip"
    rm -rf "${work:?}/$1"
}
if [ "$small" = 1 ]; then small few 6000 30; small more 12000 60
else small few 60000 300; small more 120000 600; fi
echo "  tbm/zip $(ratio "$tbm_few_wall" "$zip_few_wall")  growth tbm(2x files)/tbm $(ratio "$tbm_more_wall" "$tbm_few_wall")"
summary+=("small files time / zip -r|$(ratio "$tbm_few_wall" "$zip_few_wall")|0.8"
          "small files growth (2x files)|$(ratio "$tbm_more_wall" "$tbm_few_wall")|2.1")

echo "== summary"
python3 - "${summary[@]}" <<'PY'
import sys
print(f"  {'':32}{'measured':>10}{'target':>10}")
for row in sys.argv[1:]:
    name, value, target = row.split('|')
    verdict = 'PASS' if float(value) <= float(target) else 'MISS'
    print(f"  {name:32}{value:>10}{'<= ' + target:>10}  {verdict}")
PY
