#!/usr/bin/env bash
# Builds Vellumo (installing what is missing) and starts it: scripts/run.sh [FILE]
# Without a display it says so and writes a picture of the main window instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

program=build/release/src/vellumo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show Vellumo on; writing a picture of its main window to vellumo-screenshot.png instead."
    QT_QPA_PLATFORM=offscreen "$program" --screenshot vellumo-screenshot.png "$@"
    exit 0
fi
exec "$program" "$@"
