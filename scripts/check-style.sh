#!/usr/bin/env bash
# Fails when a C++ file differs from the committed .clang-format, or when clang-tidy
# finds anything with the checks of .clang-tidy in the program's sources.
#   bash scripts/check-style.sh [BUILD_FOLDER]   (a configured build: its compile_commands.json)
#   bash scripts/check-style.sh --format-only
# Fix formatting with: clang-format -i $(git ls-files '*.cpp' '*.h')
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "Formatting: ${#sources[@]} files as .clang-format says."
[ "${1:-}" = "--format-only" ] && exit 0

build="${1:-build/asan}"
mapfile -t program < <(git ls-files 'src/*.cpp')
log="$build/clang-tidy.log"
# .clang-tidy makes every finding an error; the log is read too, in case a run
# reports findings but exits 0.
status=0
run-clang-tidy -p "$build" -quiet -j "$(nproc)" "${program[@]/#/$PWD/}" >"$log" 2>&1 || status=$?
if [ "$status" -ne 0 ] || grep -qE '(error|warning): ' "$log"; then
    grep -E '(error|warning): ' "$log" | sed 's/\x1b\[[0-9;]*m//g' | sort -u
    echo "clang-tidy: findings above (the whole output is in $log)."
    exit 1
fi
echo "clang-tidy: ${#program[@]} files, no findings."
