#!/usr/bin/env bash
# Installs the dependencies, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test through CTest, then builds the
# libFuzzer targets with clang (without the GUI, which also proves the core builds
# headless) and runs each one for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTBM_SANITIZE=ON >/dev/null
cmake --build build-test -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j"$jobs" --timeout 600

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTBM_BUILD_GUI=OFF -DTBM_BUILD_TESTS=OFF -DTBM_BUILD_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$jobs"
scripts/fuzz-smoke.sh build-fuzz "${TBM_FUZZ_SECONDS:-20}"
