#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the native build with all GoogleTest suites (CTest);
#   2. the Windows stage: 32-bit DLLs with their export tables checked, the
#      64-bit DLLs, test programs and tzcli run under wine64;
#   3. the whole suite under AddressSanitizer + UBSan, and the concurrency
#      stress test under ThreadSanitizer;
#   4. every fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
START=$(date +%s)
stage() { echo; echo "=== $* ($(($(date +%s) - START)) s)"; }

scripts/install-deps.sh

stage "native build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2 --timeout 600

stage "Windows builds, export tables, tests under wine64"
TZM_NATIVE_BUILD=build scripts/ci-windows.sh

stage "sanitizers"
scripts/ci-sanitize.sh

stage "fuzzing"
scripts/ci-fuzz.sh

stage "all stages passed"
