#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds the program, tests, benchmarks and fuzzers, and runs
# every test. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=ON -DTINTWELL_BENCH=ON
cmake --build build -j"$jobs"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 900

if [ -x scripts/fuzz-smoke.sh ]; then
    scripts/fuzz-smoke.sh
fi
