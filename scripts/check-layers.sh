#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a folder its own folder may not use. The map below
# says, for each folder, which other folders it may include; a folder may always
# include itself (and its subfolders: platform/rastix/formats is platform/rastix). Every
# quoted include must name a folder of the map.
#
#                 app
#          /       |       \
#     history     ops     widgets
#        |         |         |
#       view       |         |
#         \       /          |
#          document          |
#             |              |
#           colour           |
#               \           /
#               platform/gdi
#                    |
#              platform/rastix
#
#   scripts/check-layers.sh [source-folder]    (default: src)
set -euo pipefail
cd "$(dirname "$0")/.."
root=${1:-src}

# folder: the folders it may include besides itself
map=(
    "platform/rastix:"
    "platform/gdi: platform/rastix"
    "colour: platform/gdi platform/rastix"
    "document: colour platform/gdi platform/rastix"
    "view: document colour platform/gdi platform/rastix"
    "ops: document colour platform/gdi platform/rastix"
    "history: view document colour platform/gdi platform/rastix"
    "widgets: platform/gdi platform/rastix"
    "app: history ops widgets view document colour platform/gdi platform/rastix"
)

declare -A allowed
folders=()
for entry in "${map[@]}"; do
    folder=${entry%%:*}
    folders+=("$folder")
    allowed[$folder]=" $folder ${entry#*:} "
done

folder_of() { # path relative to root -> its folder in the map, or nothing
    local path=$1 f
    for f in "${folders[@]}"; do
        case "$path" in "$f" | "$f"/*) echo "$f"; return ;; esac
    done
}

status=0
while IFS= read -r -d '' file; do
    rel=${file#"$root"/}
    own=$(folder_of "$(dirname "$rel")")
    if [ -z "$own" ]; then
        echo "$file: not in any folder of the map (${folders[*]})"
        status=1
        continue
    fi
    while IFS=: read -r line target; do
        [ -n "$target" ] || continue
        theirs=$(folder_of "$(dirname "$target")")
        if [ -z "$theirs" ]; then
            echo "$file:$line: includes \"$target\", which is in no folder of the map"
            status=1
        elif [[ "${allowed[$own]}" != *" $theirs "* ]]; then
            echo "$file:$line: $own includes \"$target\" from $theirs, which it may not use"
            status=1
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" \
                 | sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find "$root" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

if [ "$status" -ne 0 ]; then
    echo "Include map broken: see scripts/check-layers.sh for which folder may use which." >&2
fi
exit "$status"
