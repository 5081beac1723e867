#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tintwell needs that are not there yet.
#   scripts/install-deps.sh run      what building and running the program needs
#   scripts/install-deps.sh package  that, plus what building its Debian package needs
#   scripts/install-deps.sh test     all that, plus what the tests, benchmarks and fuzzers
#                                    need
#   scripts/install-deps.sh bench    all that, plus the peers the benchmarks compare with
#                                    (OpenCV's edge-aware filters)
#   scripts/install-deps.sh fresh-debian  what tests/install/fresh-debian.sh needs
set -euo pipefail

mode=${1:-run}

build_pkgs=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-image-formats-plugins qt6-qpa-plugins
    libpng-dev libjpeg62-turbo-dev libgif-dev libtiff-dev zlib1g-dev libhwy-dev libzstd-dev libzip-dev
    fonts-dejavu-core fonts-dejavu-extra librsvg2-bin
)
package_pkgs=(dpkg-dev file)
test_pkgs=(
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-14 libclang-rt-14-dev llvm-14 clang-format-14
    netpbm imagemagick libjpeg-turbo-progs libtiff-tools giflib-tools libpng-tools liblcms2-utils
    xvfb xauth x11-utils poppler-utils
    desktop-file-utils appstream shared-mime-info python3 unzip
)

bench_pkgs=(libopencv-contrib-dev)

fresh_debian_pkgs=(debootstrap xvfb x11-utils)

pkgs=("${build_pkgs[@]}")
if [ "$mode" = fresh-debian ]; then
    pkgs=("${fresh_debian_pkgs[@]}")
fi
if [ "$mode" = package ] || [ "$mode" = test ] || [ "$mode" = bench ]; then
    pkgs+=("${package_pkgs[@]}")
fi
if [ "$mode" = test ] || [ "$mode" = bench ]; then
    pkgs+=("${test_pkgs[@]}")
fi
if [ "$mode" = bench ]; then
    pkgs+=("${bench_pkgs[@]}")
fi

missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -o DPkg::Lock::Timeout=600
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
