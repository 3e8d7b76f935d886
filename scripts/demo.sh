#!/usr/bin/env bash
# The main job: builds the library and its host tool, then runs the demo host.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target tzcli >/dev/null
exec build/bin/tzcli demo "$@"
