#!/usr/bin/env bash
# Builds Vellumo with AddressSanitizer and UndefinedBehaviorSanitizer and warnings as
# errors, and the optimised program beside it (installing what is missing), checks the
# code's style, and runs the whole test suite headless, the smoke tests of the optimised
# program included. CTest's summary ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check-style.sh --format-only
# The optimised program, as scripts/run.sh builds it: the smoke tests drive it as a
# user would, since faults inside Qt's own code are invisible to the sanitizers.
cmake --preset release >/dev/null
cmake --build --preset release
cmake --preset asan -DVELLUMO_SMOKE_PROGRAM="$PWD/build/release/src/vellumo" >/dev/null
cmake --build --preset asan
bash scripts/check-style.sh build/asan
export QT_QPA_PLATFORM=offscreen
ctest --preset asan -j 2
