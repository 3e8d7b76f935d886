#!/usr/bin/env bash
# Long offline fuzzing: runs every target for HOURS (default 4) hours in total,
# each with a persistent corpus under <build>/fuzz-long/<target>/, continuing
# after failures. Every failure input found is copied into
# fuzz/regressions/<target>/ (named by its hash), where the test suite
# replays it from then on; commit them with the fix.
# Environment: HOURS, JOBS (parallel workers per target, default 2),
# FUZZ_BUILD (default build-fuzz), TARGETS (space-separated subset).
set -euo pipefail
cd "$(dirname "$0")/.."
HOURS=${HOURS:-4}
JOBS=${JOBS:-2}
BUILD=${FUZZ_BUILD:-build-fuzz}
read -r -a TARGETS <<< "${TARGETS:-base64 key_files signature_block encrypted_block transfer}"

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DFUZZ=ON -DBUILD_TESTING=OFF -DTZM_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$BUILD" -j"$JOBS" --target tzm_fuzzers

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
per_target=$(( HOURS * 3600 / ${#TARGETS[@]} ))
kept=0
for t in "${TARGETS[@]}"; do
  dir="$BUILD/fuzz-long/$t"
  mkdir -p "$dir/corpus" "$dir/artifacts" "fuzz/regressions/$t"
  echo "== $t for $per_target s"
  "$BUILD/bin/fuzz_$t" -fork="$JOBS" -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$per_target" -timeout=25 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 \
    -artifact_prefix="$dir/artifacts/" "$dir/corpus" "fuzz/${t}_corpus" > "$dir/run.log" 2>&1 || true
  grep -E 'stat::number_of_executed_units|Done' "$dir/run.log" | tail -2 || true
  for input in "$dir"/artifacts/*; do
    [[ -f "$input" ]] || continue
    name="$(basename "$input" | cut -d- -f1)-$(sha1sum "$input" | cut -c1-16)"
    if [[ ! -f "fuzz/regressions/$t/$name" ]]; then
      cp "$input" "fuzz/regressions/$t/$name"
      echo "kept fuzz/regressions/$t/$name"
      kept=$((kept + 1))
    fi
  done
done
echo "fuzz-long: $kept new failure input(s) kept in fuzz/regressions/"
