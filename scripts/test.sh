#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program and its tests, and runs them. Exits
# non-zero on any failure, and prints how long each part took.
#   scripts/test.sh       the quick check (about 5 minutes on two cores): the format and
#                         layer checks, one build without benchmarks (build/), the saved
#                         fuzz regressions and the hostile-file corpus replayed through
#                         it, and the whole suite with the soaks shortened (random
#                         actions: 2 seeds x 300; open and close cycles: 50)
#   scripts/test.sh ci    everything, as CI runs it: the checks, the build with the
#                         benchmarks, the fuzz targets fuzzed for a while under the
#                         sanitizers (build-fuzz), the whole suite at full length (random
#                         actions: 10 seeds x 2000; cycles: 500), then the suite again
#                         built with AddressSanitizer, LeakSanitizer and
#                         UndefinedBehaviorSanitizer (build-sanitize), without the
#                         package check and the tests that only run external programs
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-quick}
case "$mode" in quick | ci) ;; *) echo "usage: $0 [ci]" >&2; exit 2 ;; esac

if [ "$mode" = ci ]; then
    scripts/install-deps.sh bench
else
    scripts/install-deps.sh test
fi
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
status=0
# How long each part took, printed at the end.
timings=()
mark() { timings+=("$1: $((SECONDS - part_start)) s"); part_start=$SECONDS; }
part_start=$SECONDS
started=$SECONDS

# Quick checks of the source itself before anything is built.
scripts/check-format.sh
scripts/check-layers.sh

bench=OFF
if [ "$mode" = ci ]; then
    bench=ON
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=ON \
    -DTINTWELL_BENCH=$bench
cmake --build build -j"$jobs"
mark "checks and build"

if [ "$mode" = ci ]; then
    # The sanitized fuzz run first, so CTest's summary follows; a finding still fails
    # the command.
    scripts/fuzz-smoke.sh || status=1
    mark "fuzzing, regressions and hostile corpus under the sanitizers"
    echo "== suite"
    ctest --test-dir build --output-on-failure -j"$jobs" --timeout 900 || status=1
    mark "suite"

    echo "== sanitized suite (address, leak, undefined behaviour)"
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTINTWELL_TESTS=ON -DTINTWELL_BENCH=OFF -DTINTWELL_SANITIZE=address,undefined
    cmake --build build-sanitize -j"$jobs"
    mark "sanitized build"
    supp=$PWD/tests/sanitizer
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:allocator_may_return_null=1
    export LSAN_OPTIONS=suppressions=$supp/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest --test-dir build-sanitize --output-on-failure -j"$jobs" --timeout 1800 \
        --label-exclude 'package|tools' || status=1
    mark "sanitized suite"
else
    echo "== suite (soaks shortened)"
    TINTWELL_SOAK=quick ctest --test-dir build --output-on-failure -j"$jobs" --timeout 900 \
        || status=1
    mark "suite"
fi

printf '== time taken (%s)\n' "$mode"
printf '   %s\n' "${timings[@]}"
printf '   in all: %s s\n' "$((SECONDS - started))"
exit "$status"
