#!/usr/bin/env bash
# Builds everything and runs every test: the native build with CTest, then the
# Windows cross-builds of tz_morka.dll and libcrypt.dll (i686 and x86_64).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2 --timeout 600

for arch in i686 x86_64; do
  cmake -S . -B build-win-$arch -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$arch.cmake \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTZM_BENCH=OFF
  cmake --build build-win-$arch -j2
done
echo "windows builds: ok"
