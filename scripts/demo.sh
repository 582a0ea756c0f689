#!/usr/bin/env bash
# Sets everything up, builds the player and plays the bundled demo show: in a
# window when a display is there, otherwise headless for a few seconds of
# real time, leaving a snapshot of the preview in build/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vyr-player RiyaNetServer
show=assets/demo.abs
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/default/vyr-player "$show"
fi
echo "No display found: playing $show headless for 5 seconds."
build/default/vyr-player --headless --realtime --ticks 50 --print-status --snapshot build/demo.png "$show"
echo "Snapshot of the preview: build/demo.png"
