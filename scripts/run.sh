#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tintwell (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF
cmake --build build-release -j"$(nproc)" --target tintwell
exec build-release/src/tintwell "$@"
