#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a configured, built build folder into a scratch folder,
# unpacks it with dpkg -x and checks what a desktop needs of it: the files it holds,
# the desktop entry and the AppStream metainfo (validated, and naming each other, the
# program and the icon), the file types of every pattern the open dialog offers, the
# icon sizes, the control fields, and that the unpacked program starts from the entry's
# Exec line, offscreen and on an X server, and opens the picture it is given.
#   tests/install/check-package.sh BUILD_DIR      (CTest runs it on the test build)
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: check-package.sh BUILD_DIR}" && pwd)
id=com.merrow.Tintwell
sizes=(16 22 24 32 48 64 128 256)

work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
passes=0
failures=0
ok() { echo "ok: $1"; passes=$((passes + 1)); }
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }
check() { # check name command...: passes when the command succeeds, shows its output if not
    local name=$1 out
    shift
    if out=$("$@" 2>&1); then ok "$name"; else fail "$name"; echo "$out"; fi
}
same() { # same name seen wanted
    if [ "$2" = "$3" ]; then ok "$1"; else fail "$1: \"$2\", wanted \"$3\""; fi
}
none() { # none name problem...: passes when no problem is given
    local name=$1
    shift
    if [ $# -eq 0 ]; then ok "$name"; else fail "$name: $*"; fi
}

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then echo "FAIL: cpack made ${debs[*]}"; exit 1; fi
deb=${debs[0]}
root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x $(basename "$deb")"; exit 1; }
field() { dpkg-deb -f "$deb" "$1"; }
entry=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
key() { sed -n "s/^$1=//p" "$entry"; }
tag() { sed -n "s:.*<$1[^>]*>\([^<]*\)</$1>.*:\1:p" "$metainfo" | head -1; }

# The files: the program and the desktop's files, nothing of the tests or benchmarks.
expected=(usr/bin/tintwell "usr/share/applications/$id.desktop"
          "usr/share/metainfo/$id.metainfo.xml" "usr/share/icons/hicolor/scalable/apps/$id.svg")
for s in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${s}x$s/apps/$id.png"); done
held=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
want=$(printf '%s\n' "${expected[@]}" | sort)
if [ "$held" = "$want" ]; then
    ok "the package holds exactly the program, desktop entry, metainfo and icons"
else
    fail "the package's files (- missing, + not expected)"
    diff <(echo "$want") <(echo "$held") | grep '^[<>]' | sed 's/^</-/; s/^>/+/'
fi

check "desktop-file-validate" desktop-file-validate "$entry"
check "appstreamcli validate --no-net" appstreamcli validate --no-net "$metainfo"

# The entry, the metainfo and the package name the same program and icon.
exec_line=$(key Exec)
command=${exec_line%% *}
if [ "$exec_line" != "$command %f" ]; then
    fail "Exec=$exec_line: wanted the program with one file, %f (it opens the file it is given)"
elif [ ! -x "$root/usr/bin/$command" ]; then
    fail "Exec=$exec_line names no program in the package's usr/bin"
else
    ok "Exec=$exec_line is the packaged program"
fi
icon=$(key Icon)
missing_icons=()
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || missing_icons+=(scalable)
for s in "${sizes[@]}"; do
    [ -f "$root/usr/share/icons/hicolor/${s}x$s/apps/$icon.png" ] || missing_icons+=("${s}x$s")
done
none "Icon=$icon is there in every size" "${missing_icons[@]}"
same "metainfo id is its file's name" "$(tag id)" "$id"
same "metainfo launches the desktop entry" "$(tag launchable)" "$id.desktop"
same "metainfo names the entry's icon" "$(tag icon)" "$icon"
same "metainfo provides the Exec program" "$(tag binary)" "$command"
release=$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -1 | sed 's/.*version="//; s/"$//')
same "newest metainfo release is the package version" "$release" "$(field Version)"
# X11 desktops link a window to the entry by its class, which is the program's name.
wm_class=$(key StartupWMClass)
same "StartupWMClass is the program's name" "$wm_class" "$command"

# File types: every pattern of the open dialog's "All pictures" entry maps to a type the
# entry lists, by the glob of this machine's shared-mime-info database; JIF has no glob
# there and is recognised by content as JPEG. Every listed type must be known.
IFS=';' read -r -a listed <<<"$(key MimeType)"
lists() { printf '%s\n' "${listed[@]}" | grep -qixF -- "$1"; }
IFS=';' read -r -a patterns <<<"$(grep -o '"All pictures|[^"|]*' \
    "$source_dir/src/app/MainForm.cpp" | cut -d'|' -f2)"
[ ${#patterns[@]} -gt 0 ] || fail "no \"All pictures\" filter found in src/app/MainForm.cpp"
uncovered=()
for p in "${patterns[@]}"; do
    ext=$(tr '[:upper:]' '[:lower:]' <<<"${p#\*.}")
    types=$(awk -F: -v g="*.$ext" 'tolower($3) == g {print $2}' /usr/share/mime/globs2 | sort -u)
    [ -n "$types" ] || { [ "$ext" = jif ] && types=image/jpeg; }
    [ -n "$types" ] || { uncovered+=("$p (no type known)"); continue; }
    for t in $types; do lists "$t" || uncovered+=("$p ($t)"); done
done
none "MimeType covers the ${#patterns[@]} open-dialog patterns" "${uncovered[@]}"
unknown=()
for t in "${listed[@]}"; do
    grep -qixF -- "$t" /usr/share/mime/types \
        || awk -v t="$t" 'tolower($1) == tolower(t) {found = 1} END {exit !found}' \
            /usr/share/mime/aliases || unknown+=("$t")
done
none "every MimeType is known to shared-mime-info" "${unknown[@]}"

# Icons: each PNG is as large as its folder says and shows the drawing (not empty).
bad_icons=()
for s in "${sizes[@]}"; do
    png=$root/usr/share/icons/hicolor/${s}x$s/apps/$id.png
    [ -f "$png" ] || continue
    seen=$(convert "$png" -format '%wx%h ' -write info: -alpha extract -format '%[fx:mean>0.4]' info: 2>&1)
    [ "$seen" = "${s}x$s 1" ] || bad_icons+=("${s}x$s: $seen")
done
none "the PNG icons have their sizes and are drawn" "${bad_icons[@]}"

# Control fields, and the dependencies dpkg-shlibdeps read off the binary.
same "control: Package" "$(field Package)" tintwell
same "control: Section" "$(field Section)" graphics
same "control: Maintainer" "$(field Maintainer | cut -d' ' -f1)" Merrow
summary=$(field Description | head -1)
[ -n "$summary" ] && [ "$(field Description | wc -l)" -gt 1 ] \
    && ok "control: Description has a summary and a long text" || fail "control: Description"
depends=$(field Depends)
names=" $(sed -E 's/ \([^)]*\)//g; s/,//g' <<<"$depends") "
lacking=()
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libpng16-16 libtiff6 libgif7 libzip4 \
    qt6-image-formats-plugins; do
    [[ "$names" == *" $lib "* ]] || lacking+=("$lib")
done
none "Depends names the C++, Qt, picture and zip libraries and the Qt image plugins" "${lacking[@]}"
installed() { # installed "name [(op version)]": this machine has it
    local name op version have
    read -r name op version <<<"$(tr -d '()' <<<"$1")"
    have=$(dpkg-query -W -f='${db:Status-Status} ${Version}' "$name" 2>/dev/null) || return 1
    [[ "$have" == installed* ]] || return 1
    [ -z "$op" ] || dpkg --compare-versions "${have#installed }" "$op" "$version"
}
unmet=()
IFS=',' read -r -a items <<<"$depends"
for item in "${items[@]}"; do
    met=0
    IFS='|' read -r -a alternatives <<<"$item"
    for a in "${alternatives[@]}"; do installed "$a" && met=1 && break; done
    [ $met -eq 1 ] || unmet+=("$item")
done
none "the ${#items[@]} dependencies are installed on this machine" "${unmet[@]}"
check "the unpacked program finds every library" \
    bash -c "! ldd '$root/usr/bin/tintwell' | grep 'not found'"

# Start the unpacked program as the menu would: the Exec line, with the package's bin
# first on PATH, and %f the file given or dropped when none is (as the desktop does).
# Offscreen it must still be running after 3 seconds; then it is stopped.
mkdir -m 700 "$work/home" "$work/run"
start() { # start platform file [env...]: runs the Exec line in the background, sets $pid
    local line=${exec_line//%f/"'$2'"}
    [ -n "$2" ] || line=${exec_line// %f/}
    env PATH="$root/usr/bin:$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
        QT_QPA_PLATFORM="$1" "${@:3}" sh -c "exec $line" > "$work/run-$1.log" 2>&1 &
    pid=$!
    pids+=("$pid")
}
stop() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
start offscreen ""
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
    fail "offscreen: the program ended within 3 seconds"; cat "$work/run-offscreen.log"
elif [ "$(readlink "/proc/$pid/exe")" != "$root/usr/bin/tintwell" ]; then
    fail "offscreen: the Exec line ran $(readlink "/proc/$pid/exe"), not the unpacked program"
else
    ok "offscreen: the unpacked program still runs after 3 seconds"
fi
stop

# On an X server, started with a picture as "Open with" starts it: its main window
# carries the class the entry's StartupWMClass names, which is how X11 desktops link the
# window to the entry, and the picture opens without a message. The same as a file URL
# with escapes, as some desktops pass it; a missing file shows the load failure.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$work/display" > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(cat "$work/display")
for _ in $(seq 50); do DISPLAY=$display xdpyinfo > /dev/null 2>&1 && break; sleep 0.1; done
mkdir "$work/photos"
picture="$work/photos/old scan.png"
convert -size 64x48 gradient:white-black "$picture"
url="file://$(sed 's/ /%20/g' <<<"$picture")"
windows() { DISPLAY=$display xwininfo -root -tree 2>/dev/null; }
on_x() { # on_x file: starts the Exec line on the X server with file; sets $window
    start xcb "$1" DISPLAY="$display"
    window=
    for _ in $(seq 60); do
        window=$(windows | awk '/"Merrow Tintwell 2.0"/ {print $1; exit}')
        [ -n "$window" ] && break
        sleep 0.25
    done
    [ -n "$window" ] || { fail "X server $display: no main window appeared for $1"; cat "$work/run-xcb.log"; }
}
failure_shown() { # failure_shown seconds: a load failure's message appears within them
    for _ in $(seq $(($1 * 4))); do
        windows | grep -q 'could not be loaded!' && return 0
        sleep 0.25
    done
    return 1
}
on_x "$picture"
if [ -n "$window" ]; then
    same "X server: the main window's class is StartupWMClass" \
        "$(DISPLAY=$display xprop -id "$window" WM_CLASS)" \
        "WM_CLASS(STRING) = \"$wm_class\", \"$wm_class\""
    failure_shown 2 && fail "X server: started with a picture, a load failure was shown" \
        || ok "X server: started with a picture, it opens without a message"
fi
stop
on_x "$url"
if [ -n "$window" ]; then
    failure_shown 2 && fail "X server: started with $url, a load failure was shown" \
        || ok "X server: started with a file URL, the picture opens without a message"
fi
stop
on_x "$work/photos/missing.png"
if [ -n "$window" ]; then
    failure_shown 10 && ok "X server: started with a missing file, the load failure is shown" \
        || fail "X server: started with a missing file, no load failure was shown"
fi
stop

echo "$passes passed, $failures failed"
exit $((failures > 0))
