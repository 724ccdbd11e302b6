#!/usr/bin/env bash
# Builds the benchmarks and the program optimised (installing what is missing),
# runs the benchmarks headless and, when a black-box `measure` tool is given in
# VELLUMO_MEASURE (with its `make-inputs` beside it), measures the program itself
# under its own X server. Prints one table at the end.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=Insert).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
missing=()
for package in libbenchmark-dev xvfb xdotool dbus; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ] && [ "$(id -u)" -eq 0 ]; then
    apt-get update && apt-get install -y --no-install-recommends "${missing[@]}"
fi
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLUMO_BUILD_TESTS=OFF \
    -DVELLUMO_BUILD_BENCHMARKS=ON >/dev/null
cmake --build build/bench --target bench_insertion vellumo_bench_text bench_search bench_check \
    bench_completion bench_conversions vellumo

results=$(mktemp -d)
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_insertion --benchmark_format=json \
    --benchmark_out="$results/bench.json" --benchmark_out_format=json "$@" >/dev/null
# The text engine reads make-inputs' pages when they are there, else makes its own.
if [ -n "${VELLUMO_MEASURE:-}" ]; then
    export VELLUMO_BENCH_INPUTS
    VELLUMO_BENCH_INPUTS=$("$(dirname "$VELLUMO_MEASURE")/make-inputs" | head -1 | xargs dirname)
fi
build/bench/bench/vellumo_bench_text --benchmark_format=json \
    --benchmark_out="$results/bench-text.json" --benchmark_out_format=json "$@" >/dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_search --benchmark_format=json \
    --benchmark_out="$results/search.json" --benchmark_out_format=json "$@" >/dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_check --benchmark_format=json \
    --benchmark_out="$results/bench_check.json" --benchmark_out_format=json "$@" >/dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_completion --benchmark_format=json \
    --benchmark_out="$results/bench_completion.json" --benchmark_out_format=json "$@" >/dev/null
QT_QPA_PLATFORM=offscreen build/bench/bench/bench_conversions --benchmark_format=json \
    --benchmark_out="$results/conversions.json" --benchmark_out_format=json "$@" >/dev/null

if [ -n "${VELLUMO_MEASURE:-}" ]; then
    inputs=$("$(dirname "$VELLUMO_MEASURE")/make-inputs" | head -1 | xargs dirname)
    # The first start shows the Tip of the Day, which would take the keys: a
    # settings folder with Tip=No stands in for a user who has seen it.
    mkdir -p "$results/config/Vellumo"
    printf '[General]\nTip=No\n' >"$results/config/Vellumo/Vellumo.conf"
    for page in "" page-10m.html page-50m.html minified-5m.html; do
        "$VELLUMO_MEASURE" --runs "${VELLUMO_RUNS:-3}" --timeout 120 \
            --env XDG_CONFIG_HOME="$results/config" --label "${page:-empty}" \
            --json "$results/measure.json" -- "$PWD/build/bench/src/vellumo" \
            ${page:+"$inputs/$page"} >/dev/null 2>&1 || true
    done
fi

python3 - "$results" <<'EOF'
import json, os, statistics, sys
folder = sys.argv[1]
print(f"{'Benchmark':44} {'time':>12} {'cpu':>12}  extra")
benchmarks = []
for name in ("bench.json", "bench-text.json", "search.json", "bench_check.json",
             "bench_completion.json", "conversions.json"):
    path = os.path.join(folder, name)
    if os.path.exists(path) and os.path.getsize(path) > 0:
        benchmarks += json.load(open(path))["benchmarks"]
for b in benchmarks:
    extra = ""
    if "longest_stop_ms" in b:
        extra = (f"Stop honoured after at most {b['longest_stop_ms']:.0f} ms "
                 f"({b['longest_stop_cpu_ms']:.0f} ms CPU)")
    elif b["name"].startswith("CheckPage"):
        extra = f"CPU {b['cpu_time']:.0f} {b['time_unit']}"
    elif "peak_memory_per_file_byte" in b:
        extra = f"peak memory {b['peak_memory_per_file_byte']:.2f} x the file"
    elif "longest_stall_ms" in b:
        extra = f"longest stall {b['longest_stall_ms']:.0f} ms"
    elif "memory_growth_mib" in b:
        extra = f"memory +{b['memory_growth_mib']:.0f} MiB"
    elif "bytes_per_second" in b:
        extra = f"{b['bytes_per_second'] / 2**20:.0f} MiB/s"
        if "first_result_ms" in b:
            extra += f", first result {b['first_result_ms']:.0f} ms"
    elif "undo_cpu_ms" in b and "changed" in b:
        extra = f"{b['changed']:.0f} changed, undo {b['undo_cpu_ms']:.0f} ms CPU"
    elif "undo_cpu_ms" in b:
        extra = f"{b['replaced']:.0f} replaced, undo {b['undo_cpu_ms']:.0f} ms CPU"
    print(f"{b['name']:44} {b['real_time']:10.2f} {b['time_unit']:>2} "
          f"{b['cpu_time']:10.2f} {b['time_unit']:>2}  {extra}")
path = os.path.join(folder, "measure.json")
if os.path.exists(path):
    runs = {}
    for line in open(path):
        r = json.loads(line)
        runs.setdefault(r["label"], []).append(r)
    print()
    print(f"{'measure (median)':20} {'cpu_idle_s':>10} {'hwm_mib':>8} {'ctrl_end_cpu_s':>14} {'key_cpu_ms':>10}")
    for label, rs in runs.items():
        med = lambda k: statistics.median(r[k] for r in rs if r.get(k) is not None)
        print(f"{label:20} {med('cpu_idle_s'):10.3f} {med('hwm_mib'):8.0f} "
              f"{med('ctrl_end_cpu_s'):14.3f} {med('key_cpu_ms'):10.2f}")
EOF
rm -rf "$results"
