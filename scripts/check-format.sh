#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a tracked C++ file is not formatted as .clang-format says. To fix:
#   git ls-files '*.cpp' '*.h' | xargs clang-format-14 -i
set -euo pipefail
cd "$(dirname "$0")/.."

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror
