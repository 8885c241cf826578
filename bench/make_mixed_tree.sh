#!/usr/bin/env bash
# Writes the benchmarks' mixed tree of about 330 MB into FOLDER (made if missing).
# Usage: bench/make_mixed_tree.sh FOLDER
set -euo pipefail
tree=${1:?usage: make_mixed_tree.sh FOLDER}
mkdir -p "$tree"

# Many small text files, some large compressible ones, some random binary and one
# 50 MB file: what a documents folder tends to hold.
python3 - "$tree" <<'PY'
import os, random, sys
root = sys.argv[1]
rnd = random.Random(7)
words = [''.join(rnd.choice('abcdefghijklmnopqrstuvwxyz') for _ in range(rnd.randint(2, 9)))
         for _ in range(5000)]
def text(n):
    out, size = [], 0
    while size < n:
        line = ' '.join(rnd.choice(words) for _ in range(rnd.randint(4, 14))) + '\n'
        out.append(line); size += len(line)
    return ''.join(out)
for d in range(40):
    folder = os.path.join(root, 'notes', f'd{d:02}')
    os.makedirs(folder)
    for f in range(60):
        with open(os.path.join(folder, f'note{f:03}.txt'), 'w') as fh:
            fh.write(text(rnd.randint(500, 20000)))
os.makedirs(os.path.join(root, 'logs'))
chunk = text(4 << 20)
for i in range(4):
    with open(os.path.join(root, 'logs', f'server{i}.log'), 'w') as fh:
        for _ in range(10):
            fh.write(chunk)
os.makedirs(os.path.join(root, 'media'))
for i in range(3):
    with open(os.path.join(root, 'media', f'photo{i}.jpg'), 'wb') as fh:
        fh.write(os.urandom(20 << 20))
with open(os.path.join(root, 'big.dat'), 'wb') as fh:
    for _ in range(25):
        fh.write(os.urandom(1 << 20))
        fh.write(chunk[:1 << 20].encode())
PY
