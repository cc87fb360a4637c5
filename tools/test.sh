#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests against the in-memory window manager,
# both Windows builds, and the end-to-end tests of ledbanner.exe under Wine in Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake --workflow --preset native

# The same unit tests with AddressSanitizer (leak checks on) and UndefinedBehaviorSanitizer.
cmake --preset native-sanitize >/dev/null
cmake --build --preset native-sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --preset native-sanitize

# Fuzz the stream of events for a bounded time (libFuzzer, ASan+UBSan; fails on a finding).
bash tests/fuzz/run.sh 45

cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86

ctest --preset windows-x64
