#!/usr/bin/env bash
# Builds Vellumo with AddressSanitizer and UndefinedBehaviorSanitizer (installing
# what is missing) and runs the whole test suite headless. CTest's summary ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset asan >/dev/null
cmake --build --preset asan
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j 2
