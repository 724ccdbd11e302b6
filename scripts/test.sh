#!/usr/bin/env bash
# Builds Vellumo with AddressSanitizer and UndefinedBehaviorSanitizer and warnings as
# errors (installing what is missing), checks the code's style, and runs the whole test
# suite headless. CTest's summary ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-style.sh --format-only
cmake --preset asan >/dev/null
cmake --build --preset asan
bash scripts/check-style.sh build/asan
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j 2
