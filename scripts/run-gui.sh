#!/usr/bin/env bash
# Installs the dependencies, builds TBManager with its window (Release, without the
# tests) and starts it on the desktop; arguments are handed to TBManager.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTBM_BUILD_TESTS=OFF -DTBM_BUILD_GUI=ON >/dev/null
cmake --build build -j"$(nproc)" --target TBManager

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run-gui.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "Start it from a desktop session, or use tbm (scripts/run.sh) on a headless machine." >&2
    exit 2
fi
exec build/bin/TBManager "$@"
