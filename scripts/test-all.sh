#!/usr/bin/env bash
# Builds Korvane with warnings as errors and runs every test lane.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset ci
cmake --build --preset ci
ctest --preset ci

cmake --preset win32
cmake --build --preset win32
ctest --preset win32

scripts/check-format.sh
