#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers in a
# build folder of its own and runs the unit tests there, then the render
# tool's and the data maker's tests and the loaders' fuzz harness, and last
# the coverage-guided fuzz targets (clang's libFuzzer) for about a minute
# each. Any sanitizer report or fuzz finding fails the run.
#
#   scripts/sanitize-tests.sh [BUILD_DIR]     (default: build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build-asan}"
started=$(date +%s)

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVORINE_SANITIZE=ON >/dev/null
cmake --build "$build" -j2

# Leaks inside the system's libraries (fonts, the session bus) are theirs;
# everything of ours must be clean.
suppressions="$PWD/scripts/sanitizer-leaks.supp"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"

ctest --test-dir "$build" -L unit --output-on-failure -j2
# The render tool's and the data maker's tests and the fuzz harness run the
# built programs on the demo data (labelled e2e); none of them needs a screen.
ctest --test-dir "$build" -R '^(RenderTest|MakeDataTest|fuzz_loaders)' --output-on-failure -j2
# The coverage-guided fuzz targets, built with clang in a folder of their own.
./scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
echo "sanitize-tests: done in $(( $(date +%s) - started )) s"
