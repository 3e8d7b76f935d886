#!/usr/bin/env bash
# Windows stage of the CI:
#   1. the 32-bit release DLLs (tz_morka.dll, libcrypt.dll) for the host;
#   2. their export and import tables checked against the export table, and a
#      32-bit stdcall caller linked against the import library;
#   3. the 64-bit DLLs, test programs and tzcli, run under wine64 (this
#      machine runs no 32-bit programs, so the 32-bit DLLs are checked
#      statically only).
# Build folders: build-win-i686, build-wine-x86_64 (with its Wine prefix), and
# the native build folder $TZM_NATIVE_BUILD (default "build") for the table check.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
START=$(date +%s)
stage() { echo "== $* ($(($(date +%s) - START)) s)"; }

# --- Packages: the project's list, then Wine (64-bit loader only) -----------
scripts/install-deps.sh
WINE=/usr/lib/wine/wine64
if [ ! -x "$WINE" ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends wine64 >/dev/null
fi

# --- 1. i686 release DLLs ---------------------------------------------------
stage "i686 release DLLs"
W32=build-win-i686
cmake -S . -B $W32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DTZM_BENCH=OFF >/dev/null
cmake --build $W32 -j2 --target tz_morka crypt
echo "DLLs: $ROOT/$W32/bin/tz_morka.dll $ROOT/$W32/bin/libcrypt.dll (import library $W32/lib/libtz_morka.dll.a)"

# --- 2. Export tables, imports, stdcall byte counts -------------------------
stage "i686 export table check"
NATIVE=${TZM_NATIVE_BUILD:-build}
if [ ! -f "$NATIVE/CMakeCache.txt" ]; then
  cmake -S . -B "$NATIVE" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$NATIVE" -j2 --target windows_export_table_test
TZM_WIN32_BUILD_DIR=$ROOT/$W32 TZM_REQUIRE_WIN32_BUILD=1 "$NATIVE/bin/windows_export_table_test"
# A 32-bit C host that calls through the header links against the import library.
i686-w64-mingw32-gcc -std=c11 -Wall -Werror -Iinclude tests/windows/stdcall_host.c \
  -L$W32/lib -ltz_morka -o $W32/bin/stdcall_host.exe
# (captured first: grep -q would close the pipe early and pipefail would see SIGPIPE)
imports=$(i686-w64-mingw32-objdump -p $W32/bin/stdcall_host.exe)
grep -q "DLL Name: tz_morka.dll" <<<"$imports"
echo "stdcall host linked against libtz_morka.dll.a"

# --- 3. x86_64 build and the tests under wine64 -----------------------------
stage "x86_64 DLLs, test programs and tzcli"
W64=build-wine-x86_64
cmake -S . -B $W64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DTZM_BENCH=OFF -DTZM_CROSS_TESTS=ON \
      -DCMAKE_CROSSCOMPILING_EMULATOR=$WINE >/dev/null
cmake --build $W64 -j2

stage "Wine prefix"
export WINEPREFIX=$ROOT/$W64/wineprefix WINEDEBUG=-all WINEARCH=win64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # No Mono or Gecko installers in a prefix that only runs console programs.
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot --init >/dev/null 2>&1 || true
fi
"$WINE" cmd /c ver 2>/dev/null | tr -d '\r' | grep -v '^$' || true

stage "tests under wine64"
# Each test program is one CTest entry; the log keeps every case.
set +e
ctest --test-dir $W64 -j2 --timeout 300 --output-on-failure -V >$W64/wine-tests.log 2>&1
rc=$?
set -e
grep -E '^[0-9]+: \[==========\] [0-9]+ tests? from .* ran|^[0-9]+: \[  (PASSED|FAILED|SKIPPED) |tests passed|Test +#[0-9]+:' \
  $W64/wine-tests.log || true
awk '/^[0-9]+: \[==========\] [0-9]+ tests? from .* ran/ {ran += $3}
     /^[0-9]+: \[  PASSED  \] [0-9]+ test/ {passed += $5}
     END {printf "test cases under wine64: %d ran, %d passed\n", ran, passed}' $W64/wine-tests.log
if [ $rc -ne 0 ]; then
  grep -E -A6 '^[0-9]+: .*Failure$' $W64/wine-tests.log | head -200 || true
  echo "tests under wine64 failed (full log: $W64/wine-tests.log)"
fi

stage "tzcli demo under wine64"
(cd $W64/bin && "$WINE" tzcli.exe demo) | tr -d '\r'

if [ $rc -ne 0 ]; then
  stage "windows stage: FAILED (tests under wine64)"
  exit 1
fi
stage "windows stage: ok"
