#!/usr/bin/env bash
# Sets everything up, then builds and runs the whole test suite twice:
# a normal build and one under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in default asan; do
  echo "== $preset build =="
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j2
done
