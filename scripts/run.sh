#!/usr/bin/env bash
# Installs the dependencies, builds TBManager (Release, without the tests) and runs
# its main job: a backup of the user's documents folder into its "My Backups" folder,
# verified, with the places of the backup and its report printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTBM_BUILD_TESTS=OFF -DTBM_BUILD_GUI=OFF >/dev/null
cmake --build build -j"$(nproc)" --target tbm

# The documents folder as the desktop names it (user-dirs.dirs), else ~/Documents.
documents="$HOME/Documents"
dirs_file="${XDG_CONFIG_HOME:-$HOME/.config}/user-dirs.dirs"
if [ -f "$dirs_file" ]; then
    line=$(grep -E '^XDG_DOCUMENTS_DIR=' "$dirs_file" | tail -n 1 || true)
    if [ -n "$line" ]; then
        value=${line#XDG_DOCUMENTS_DIR=}
        value=${value#\"}
        value=${value%\"}
        value=${value//\$HOME/$HOME}
        case "$value" in /*) documents=$value ;; esac
    fi
fi
mkdir -p "$documents"

# A fresh machine has nothing to back up; leave one file there so the first backup
# shows what a real one holds.
if [ -z "$(find "$documents" -mindepth 1 -maxdepth 1 ! -name 'My Backups' -print -quit)" ]; then
    tbm="$PWD/build/bin/tbm"
    backup="$documents/My Backups/My Documents.tbm"
    cat >"$documents/Welcome to Tovan Backup Manager.txt" <<TEXT
Tovan Backup Manager keeps copies of your files in one backup file (.tbm),
a ZIP archive that any unzip tool can open.

This folder is what the default job "My Documents" backs up; the backups go
to the "My Backups" folder beside this file. Run it again at any time:

    $tbm backup                    back up this folder again
    $tbm backup --type update      add only what changed since
    $tbm list "$backup"
    $tbm verify "$backup"

You may delete this file.
TEXT
fi

exec build/bin/tbm backup
