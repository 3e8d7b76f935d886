#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer + UndefinedBehavior-
# Sanitizer + libFuzzer), replays each target's seed corpus and kept failure
# inputs, then fuzzes each target for a bounded time and prints its execs.
# Fails when any target finds a failure; the inputs stay in
# <build>/fuzz-work/<target>/artifacts (scripts/fuzz-long.sh keeps them in
# fuzz/regressions/ for good).
# Environment: JOBS (parallel targets, default 2), FUZZ_SECONDS (per target,
# default 30), FUZZ_BUILD (default build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-2}
SECS=${FUZZ_SECONDS:-30}
BUILD=${FUZZ_BUILD:-build-fuzz}
TARGETS=(base64 key_files signature_block encrypted_block transfer)
start=$(date +%s)

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DFUZZ=ON -DBUILD_TESTING=OFF -DTZM_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo > "$BUILD.configure.log" 2>&1 || { cat "$BUILD.configure.log"; exit 1; }
cmake --build "$BUILD" -j"$JOBS" --target tzm_fuzzers
built=$(date +%s)

work="$BUILD/fuzz-work"
rm -rf "$work"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_target() {
  local t=$1 dir="$work/$1"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  if ! "$BUILD/bin/fuzz_$t" -runs=0 "fuzz/${t}_corpus" "fuzz/regressions/$t" > "$dir/replay.log" 2>&1; then
    echo "FAIL $t: a seed or kept input fails again (see $dir/replay.log)" > "$dir/result"
    return
  fi
  local rc=0
  "$BUILD/bin/fuzz_$t" -max_total_time="$SECS" -timeout=25 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$dir/artifacts/" "$dir/corpus" "fuzz/${t}_corpus" \
    > "$dir/run.log" 2>&1 || rc=$?
  local execs secs
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/run.log" | grep -o '[0-9]*$' || echo 0)
  secs=$(grep -o 'Done [0-9]* runs in [0-9]* second' "$dir/run.log" | grep -o 'in [0-9]*' | grep -o '[0-9]*' || echo "$SECS")
  [[ -z "$secs" || "$secs" == 0 ]] && secs=1
  if [[ $rc -ne 0 ]] || [[ -n "$(ls -A "$dir/artifacts")" ]]; then
    printf "FAIL %-16s %9s execs  failure input(s): %s\n" "$t" "${execs:-0}" "$(ls "$dir/artifacts" | tr '\n' ' ')" \
      > "$dir/result"
    grep -m3 -E 'fuzz check failed|ERROR: |runtime error' "$dir/run.log" >> "$dir/result" || true
  else
    printf "ok   %-16s %9s execs in %4s s  (%s/s)  corpus %s\n" "$t" "$execs" "$secs" "$(( execs / secs ))" \
      "$(ls "$dir/corpus" | wc -l)" > "$dir/result"
  fi
}

running=0
for t in "${TARGETS[@]}"; do
  run_target "$t" &
  running=$((running + 1))
  if [[ $running -ge $JOBS ]]; then wait -n || true; running=$((running - 1)); fi
done
wait

status=0
echo "== fuzz targets (${SECS} s each, ${JOBS} at a time)"
for t in "${TARGETS[@]}"; do
  cat "$work/$t/result"
  grep -q '^ok' "$work/$t/result" || status=1
done
end=$(date +%s)
echo "ci-fuzz: build $(( built - start )) s, fuzzing $(( end - built )) s, total $(( end - start )) s"
exit $status
