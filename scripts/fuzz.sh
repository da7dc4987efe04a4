#!/usr/bin/env bash
# Runs the coverage-guided fuzz targets of the loaders (libFuzzer, with the
# address and undefined-behaviour sanitizers) for as long as asked, each on
# a corpus seeded from the bundled data files. Builds them first, with
# clang, in a build folder of their own. Any finding fails the run and
# leaves the input that caused it in the corpus folder (crash-*, leak-*...).
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]     (default: 60, every target)
#
# Targets: preset, bitmap, objects, font. FUZZ_BUILD names the build folder
# (default build-fuzz), FUZZ_CORPUS the folder the corpora grow in (default
# FUZZ_BUILD/corpus, kept between runs), FUZZ_JOBS the processes per target
# (default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(preset bitmap objects font)
build="${FUZZ_BUILD:-build-fuzz}"
corpus_root="${FUZZ_CORPUS:-$build/corpus}"
jobs="${FUZZ_JOBS:-1}"

# clang and its fuzzer runtime come with the rest of what the build needs.
source scripts/dependencies.sh
install_dependencies

CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVORINE_SANITIZE=ON \
    -DCALVORINE_FUZZ=ON >/dev/null
cmake --build "$build" -j2 --target "${targets[@]/#/fuzz-}"
build=$(cd "$build" && pwd)
mkdir -p "$corpus_root"
corpus_root=$(cd "$corpus_root" && pwd)

demo="$build/demo/Calvorine"
# The seeds of each target: the bundled files its loader reads.
seed() {
    local target=$1 into=$2
    case "$target" in
    preset) find "$demo" -maxdepth 1 -iname '*.dat' -exec cp {} "$into/" \; ;;
    bitmap) find "$demo/Data/Bmp" -iname '*.bmp' -exec cp --backup=numbered {} "$into/" \; ;;
    objects) cp "$demo"/Data/Bmp/Objects/*.bmp "$into/" ;;
    font) cp "$demo/Data/Bmp/Font.bmp" "$into/" ;;
    esac
}
# A preset is 10136 bytes; the pictures are allowed the largest bundled one and more.
max_len() {
    case "$1" in
    preset) echo 10240 ;;
    *) echo 1048576 ;;
    esac
}

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizer-leaks.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

failed=0
for target in "${targets[@]}"; do
    corpus="$corpus_root/$target"
    mkdir -p "$corpus"
    [ -n "$(ls -A "$corpus")" ] || seed "$target" "$corpus"
    log="$corpus_root/$target.log"
    echo "fuzz: $target for ${seconds} s (${jobs} process(es)), corpus $corpus"
    # -jobs runs whole fuzzing processes side by side; each writes fuzz-N.log.
    extra=()
    [ "$jobs" -gt 1 ] && extra=(-jobs="$jobs" -workers="$jobs")
    if ! (cd "$corpus_root" && "$build/tests/fuzz/fuzz-$target" -max_total_time="$seconds" \
        -max_len="$(max_len "$target")" -rss_limit_mb=4096 -timeout=30 -reload=0 -print_final_stats=1 \
        -artifact_prefix="$target-" "${extra[@]}" "$target" >"$log" 2>&1); then
        echo "fuzz: $target FOUND A FAULT (see $log and $corpus_root/$target-*)"
        tail -40 "$log"
        failed=1
    fi
    # What the run did: inputs run, speed, corpus size.
    grep -E '^stat::number_of_executed_units|^stat::average_exec_per_sec|^stat::new_units_added' "$log" |
        sed "s/^/fuzz: $target /" || true
done
exit $failed
