#!/usr/bin/env bash
# Sets everything up, builds, and shows the bundled demo content.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vyr-ilda
build/default/tools/vyr-ilda info assets/demo.ild
