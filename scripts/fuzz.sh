#!/usr/bin/env bash
# Long fuzzing run of the load path (decoding, line breaks, the editor, the tips
# reader) with libFuzzer, then many random edit sequences on the text engine
# (VELLUMO_TEXT_SEQUENCES of them, 50,000 unless set, from a new seed each run).
# Not part of the test suite: run it by hand for minutes.
#   bash scripts/fuzz.sh [SECONDS] [BUILD_FOLDER]
# New interesting inputs go to a scratch corpus; a crash is written to
# tests/fuzz/crashers/, where the suite's tst_load_fuzz replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
build="${2:-build/fuzz}"
bash scripts/install-deps.sh clang libclang-rt-14-dev
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVELLUMO_BUILD_FUZZER=ON >/dev/null
cmake --build "$build" --target fuzz_load_path
scratch="$build/fuzz-corpus"
mkdir -p "$scratch"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
"$build/tests/fuzz/fuzz_load_path" -max_total_time="$seconds" -max_len=4096 \
    -artifact_prefix=tests/fuzz/crashers/ -print_final_stats=1 "$scratch" tests/fuzz/corpus

cmake --preset asan >/dev/null
cmake --build --preset asan --target tst_text_random
seed=$(date +%s)
echo "Text engine: random edit sequences from seed $seed"
VELLUMO_TEXT_SEQUENCES="${VELLUMO_TEXT_SEQUENCES:-50000}" VELLUMO_TEXT_SEED="$seed" \
    build/asan/tests/text/tst_text_random
