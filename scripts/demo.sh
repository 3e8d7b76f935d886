#!/usr/bin/env bash
# The main job: builds the library and its host tool, then runs the demo host.
# Arguments go to "tzcli demo" (an empty or new folder for the demo's files).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "building tz_morka, libcrypt.dll and tzcli in build/ (the first build takes a few minutes)..."
mkdir -p build
log=build/demo-build.log
if ! { cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build -j2 --target tzcli; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "build failed; the log above is also in $log" >&2
  exit 1
fi
exec build/bin/tzcli demo "$@"
