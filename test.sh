#!/usr/bin/env bash
# Builds and runs every test: the whole suite in an optimised build, the core tests again under
# AddressSanitizer + UndefinedBehaviorSanitizer (with clang) with the command-line tests, and each fuzz target briefly.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh $(grep -v '^#' scripts/packages.txt)
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKAN_WERROR=ON >/dev/null
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DVELKAN_WERROR=ON -DVELKAN_SANITIZE=ON -DVELKAN_FUZZ=ON -DVELKAN_GUI=OFF -DVELKAN_RUNTIME=OFF \
  -DVELKAN_FUZZ_SECONDS="${VELKAN_FUZZ_SECONDS:-20}" >/dev/null
cmake --build build-asan -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$JOBS" -L 'core|cli|fuzz'
