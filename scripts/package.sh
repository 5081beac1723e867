#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Tintwell (Release, no tests) in build-package and
# makes its Debian package there: build-package/tintwell_<version>_<arch>.deb. Install
# it with  apt-get install ./build-package/tintwell_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh package

cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF \
    -DTINTWELL_BENCH=OFF -DTINTWELL_FUZZ=OFF
cmake --build build-package -j"$(nproc)"
rm -f build-package/tintwell_*.deb
cpack --config build-package/CPackConfig.cmake -G DEB -B build-package
ls build-package/tintwell_*.deb
