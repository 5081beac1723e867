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

# A tree that uses every folder the way the program does.
put platform/rastix/Rastix.h '#pragma once'
put platform/rastix/formats/Png.cpp '#include "platform/rastix/Rastix.h"'
put platform/gdi/Dc.h '#include "platform/rastix/Rastix.h"'
put colour/DoPix.h '#include "platform/rastix/Rastix.h"' '#include "platform/gdi/Dc.h"'
put document/Loader.h '#include "colour/DoPix.h"'
put view/Brush.h '#include "document/Loader.h"' '#include "colour/DoPix.h"'
put ops/Soften.h '#include "document/Loader.h"' '#include "colour/DoPix.h"'
put history/History.h '#include "view/Brush.h"' '#include "history/History.h"'
put widgets/Bar.h '#include "platform/gdi/Dc.h"'
put app/main.cpp '#include "history/History.h"' '#include <QApplication>' '  #  include "ops/Soften.h"' \
    '#include "widgets/Bar.h"'
expect pass "every folder including what the map allows"

refuse() { # refuse file include report-text: the include is refused, reported so
    put "$1" '' "#include \"$2\""
    expect fail "$1 including $2" "$3"
    rm "$tree/$1"
}
refuse platform/rastix/Bad.h document/Loader.h \
    'platform/rastix/Bad.h:2: platform/rastix includes "document/Loader.h" from document'
refuse view/Up.cpp ops/Soften.h 'view includes "ops/Soften.h" from ops'
refuse ops/Sibling.cpp history/History.h 'ops includes "history/History.h" from history'
refuse history/Sibling.cpp ops/Soften.h 'history includes "ops/Soften.h" from ops'
refuse ops/ViaView.cpp view/Brush.h 'ops includes "view/Brush.h" from view'
refuse widgets/Up.cpp app/Form.h 'widgets includes "app/Form.h" from app'
refuse widgets/Doc.cpp document/Loader.h 'widgets includes "document/Loader.h" from document'
refuse colour/Doc.cpp document/Loader.h 'colour includes "document/Loader.h" from document'
refuse colour/Odd.cpp Local.h 'which is in no folder of the map'

put tools/Stray.cpp '#include "colour/DoPix.h"'
expect fail "a file outside every folder" 'not in any folder of the map'
rm "$tree/tools/Stray.cpp"

expect pass "the tree is clean again"
exit $((failures > 0))
