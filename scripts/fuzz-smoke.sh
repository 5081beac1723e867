#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz, runs each one for a
# short while on a copy of its seeds (two at a time), replays every saved regression
# input and the hostile-file corpus under the sanitizers. Exits non-zero on any finding.
#   FUZZ_BUILD_DIR  build folder (default build-fuzz)
#   FUZZ_SECONDS    seconds per target (default 20)
#   FUZZ_TARGETS    the targets to fuzz (default all)
#   FUZZ_MAX_PIXELS a lower bound on a picture's pixel count, for long runs in a build
#                   folder of their own (default: the program's bound)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${FUZZ_BUILD_DIR:-build-fuzz}
seconds=${FUZZ_SECONDS:-20}
targets=${FUZZ_TARGETS:-bmp pcx ilbm tga tiff gif jpeg opendib ora}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DTINTWELL_APP=OFF -DTINTWELL_TESTS=OFF -DTINTWELL_FUZZ=ON \
    -DTINTWELL_FUZZ_MAX_PIXELS="${FUZZ_MAX_PIXELS:-}" > /dev/null
cmake --build "$build" -j"$(nproc)" --target hostile_replay $(printf 'fuzz_%s ' $targets)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One target: its saved regressions replayed, then fuzzing from a copy of its seeds.
# Writes the target's report to $work/$t.report and its failure to $work/$t.failed.
fuzz_target() {
    local t=$1 report=$work/$1.report
    : > "$report"
    mapfile -t saved < <(find fuzz/regressions/$t -type f ! -name '.*' | sort)
    if [ ${#saved[@]} -gt 0 ]; then
        echo "== fuzz_$t: replaying ${#saved[@]} regression inputs" >> "$report"
        if ! "$build/fuzz/fuzz_$t" -rss_limit_mb=2048 "${saved[@]}" > "$work/$t.replay.log" 2>&1; then
            touch "$work/$t.failed"
            tail -40 "$work/$t.replay.log" >> "$report"
        fi
    fi
    mkdir -p "$work/corpus_$t" "$work/findings_$t"
    cp fuzz/seeds/$t/* "$work/corpus_$t/"
    echo "== fuzz_$t: fuzzed for $seconds s" >> "$report"
    if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/findings_$t/" \
            "$work/corpus_$t" > "$work/$t.log" 2>&1; then
        touch "$work/$t.failed"
        tail -60 "$work/$t.log" >> "$report"
        echo "Finding saved under $build/findings_$t; copy it to fuzz/regressions/$t/" >> "$report"
        cp -r "$work/findings_$t" "$build/findings_$t" 2>/dev/null || true
    fi
    grep -E "stat::number_of_executed_units" "$work/$t.log" >> "$report" || true
}

# Two targets at a time: the machine has two cores, and each fuzzer uses one.
running=0
for t in $targets; do
    if [ "$running" -ge 2 ]; then
        wait -n || true
        running=$((running - 1))
    fi
    fuzz_target "$t" &
    running=$((running + 1))
done
wait || true

status=0
for t in $targets; do
    cat "$work/$t.report"
    if [ -e "$work/$t.failed" ]; then
        status=1
    fi
done

echo "== hostile corpus under the sanitizers"
"$build/fuzz/hostile_replay" fuzz/seeds/bmp fuzz/seeds/pcx fuzz/seeds/ilbm fuzz/seeds/tga \
    fuzz/seeds/tiff fuzz/seeds/gif fuzz/seeds/jpeg \
    fuzz/seeds/opendib || status=1

exit $status
