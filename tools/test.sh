#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests against the in-memory window manager,
# both Windows builds, and the end-to-end tests of ledbanner.exe under Wine in Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake --workflow --preset native

cmake --preset windows-x64 >/dev/null
cmake --build --preset windows-x64
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86

ctest --preset windows-x64
