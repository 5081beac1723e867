#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program, tests, benchmarks and fuzzers, and runs
# every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

# Quick checks of the source itself before anything is built.
scripts/check-format.sh
scripts/check-layers.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=ON -DTINTWELL_BENCH=ON
cmake --build build -j"$jobs"

# The sanitized fuzz smoke run and the hostile corpus first, so CTest's summary is the
# last thing printed; a finding still fails the command.
fuzz_status=0
scripts/fuzz-smoke.sh || fuzz_status=$?

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 900
exit "$fuzz_status"
