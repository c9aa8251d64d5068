#!/usr/bin/env bash
# Builds Korvane with warnings as errors and runs every test lane.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset ci
cmake --build --preset ci
ctest --preset ci
scripts/check-format.sh
