#!/usr/bin/env bash
# Builds the native-fuzz preset's fuzz target and fuzzes for a bounded time.
#
#   tests/fuzz/run.sh [SECONDS]      (default 60)
#
# The seeds in tests/fuzz/corpus/ stay as they are: the fuzzer works on a copy in
# build/native-fuzz/fuzz/corpus/ and writes a crashing input to build/native-fuzz/fuzz/artifacts/.
# Exits non-zero when the fuzzer found a crash, a sanitizer report or a broken invariant.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

seconds="${1:-60}"
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: $0 [SECONDS]" >&2; exit 2; }

cmake --preset native-fuzz >/dev/null
cmake --build --preset native-fuzz --target ledbanner_fuzz

work=build/native-fuzz/fuzz
mkdir -p "$work/corpus" "$work/artifacts"
cp tests/fuzz/corpus/* "$work/corpus/"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# libFuzzer stops by itself after max_total_time; the outer limit only guards against a hang of
# the fuzzer itself. -timeout: one input running longer than that counts as a failure.
status=0
timeout --kill-after=10 $((seconds + 120)) build/native-fuzz/ledbanner_fuzz \
  -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=2048 -timeout=20 \
  -max_len=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$work/corpus" || status=$?
if ((status != 0)); then
  echo "fuzzing failed (exit $status); crashing inputs in $work/artifacts/" >&2
  exit "$status"
fi
echo "fuzzing ran ${seconds}s without a finding"
