#!/usr/bin/env bash
# Builds Korvane with warnings as errors and runs every test lane: the native tests, the same
# tests under ASan and UBSan, the Windows code and the Windows program under Wine, the fuzzers
# for a bounded time, then the static analysers and the formatting check.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/check-layers.sh

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

cmake --preset win32
cmake --build --preset win32
ctest --preset win32
ctest --preset win32-e2e

cmake --preset fuzz
cmake --build --preset fuzz --target fuzzers
ctest --preset fuzz

scripts/analyse.sh
scripts/check-format.sh
