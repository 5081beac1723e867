#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program, tests, benchmarks and fuzzers, and runs
# every test: the plain suite, then the whole suite again built with AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
#   scripts/test.sh            everything
#   scripts/test.sh plain      the checks, the fuzz smoke run and the plain suite only
#   scripts/test.sh sanitize   the sanitized suite only (in build-sanitize)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-all}
case "$mode" in all | plain | sanitize) ;; *) echo "usage: $0 [all|plain|sanitize]" >&2; exit 2 ;; esac

scripts/install-deps.sh test
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
status=0
# How long each part took, printed at the end.
timings=()
mark() { timings+=("$1: $((SECONDS - part_start)) s"); part_start=$SECONDS; }
part_start=$SECONDS

if [ "$mode" != sanitize ]; then
    # Quick checks of the source itself before anything is built.
    scripts/check-format.sh
    scripts/check-layers.sh

    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=ON \
        -DTINTWELL_BENCH=ON
    cmake --build build -j"$jobs"
    mark "checks and plain build"

    # The sanitized fuzz smoke run and the hostile corpus first, so CTest's summary
    # follows; a finding still fails the command.
    scripts/fuzz-smoke.sh || status=1
    mark "fuzz smoke run and hostile corpus"

    echo "== plain suite"
    ctest --test-dir build --output-on-failure -j"$jobs" --timeout 900 || status=1
    mark "plain suite"
fi

if [ "$mode" != plain ]; then
    echo "== sanitized suite (address, leak, undefined behaviour)"
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTINTWELL_TESTS=ON -DTINTWELL_BENCH=OFF -DTINTWELL_SANITIZE=address,undefined
    cmake --build build-sanitize -j"$jobs"
    mark "sanitized build"
    supp=$PWD/tests/sanitizer
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:allocator_may_return_null=1
    export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs" --timeout 1800 || status=1
    mark "sanitized suite"
fi

printf '== time taken\n'
printf '   %s\n' "${timings[@]}"
exit "$status"
