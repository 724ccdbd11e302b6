#!/usr/bin/env bash
# Builds the benchmarks optimised (installing what is missing) and runs them
# headless; extra arguments go to Google Benchmark (e.g. --benchmark_filter=Insert).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if ! dpkg-query -W -f='${Status}' libbenchmark-dev 2>/dev/null | grep -q 'install ok installed'; then
    [ "$(id -u)" -eq 0 ] && apt-get update && apt-get install -y --no-install-recommends libbenchmark-dev
fi
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLUMO_BUILD_TESTS=OFF \
    -DVELLUMO_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench --target bench_insertion
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_insertion "$@"
