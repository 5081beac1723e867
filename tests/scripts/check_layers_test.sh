#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The layer check on small trees: what it must accept and what it must refuse.
set -euo pipefail
check=$(cd "$(dirname "$0")/../.." && pwd)/scripts/check-layers.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

put() { mkdir -p "$(dirname "$tree/$1")"; printf '%s\n' "${@:2}" > "$tree/$1"; }
expect() { # expect pass|fail name [text the report must hold]
    local want=$1 name=$2 text=${3:-} out rc=0
    out=$("$check" "$tree" 2>&1) || rc=$?
    if { [ "$want" = pass ] && [ $rc -ne 0 ]; } || { [ "$want" = fail ] && [ $rc -eq 0 ]; } \
        || { [ -n "$text" ] && ! grep -qF -- "$text" <<<"$out"; }; then
        echo "FAIL: $name (exit $rc)"; echo "$out"; failures=$((failures + 1))
    else
        echo "ok: $name"
    fi
}

# Every layer including itself and each layer below it.
layers=(platform/rastix platform/gdi colour document view ops history platform/ui app)
for i in "${!layers[@]}"; do
    includes=()
    for j in $(seq 0 "$i"); do includes+=("#include \"${layers[$j]}/X$j.h\""); done
    put "${layers[$i]}/X$i.h" "#pragma once" "${includes[@]}"
done
put app/main.cpp '#include "app/X8.h"' '#include <QApplication>' '  #  include "view/X4.h"'
expect pass "downward and same-layer includes"

put platform/rastix/Bad.h '#include "document/X3.h"'
expect fail "the raster library reaching up to document" 'platform/rastix/Bad.h:1: platform/rastix includes "document/X3.h" from document'
rm "$tree/platform/rastix/Bad.h"

put view/Deep.cpp '' '#include "view/X4.h"' '#include "ops/X5.h"'
expect fail "view including ops, reported with its line" 'view/Deep.cpp:3:'
rm "$tree/view/Deep.cpp"

put platform/ui/Up.cpp '#include "app/X8.h"'
expect fail "platform/ui including app" 'platform/ui includes "app/X8.h"'
rm "$tree/platform/ui/Up.cpp"

put colour/Odd.cpp '#include "Local.h"'
expect fail "an include naming no layer" 'which is in no layer'
rm "$tree/colour/Odd.cpp"

put tools/Stray.cpp '#include "colour/X2.h"'
expect fail "a file outside every layer" 'not in any layer'
rm "$tree/tools/Stray.cpp"

expect pass "the tree is clean again"
exit $((failures > 0))
