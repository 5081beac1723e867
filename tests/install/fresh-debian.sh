#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built package on a fresh, minimal Debian 12 and starts the program from
# its menu entry. Too slow for the test command (it bootstraps a system from the
# mirror); run it by hand after changing the package's dependencies:
#   tests/install/fresh-debian.sh build-package/tintwell_*.deb
# As root; debootstrap, xvfb and x11-utils are installed first when missing. Steps:
#   1. debootstrap --variant=minbase bookworm into a scratch folder;
#   2. apt-get install ./tintwell_*.deb inside it, which must pull in everything;
#   3. the Exec line of the installed desktop entry, run under the offscreen platform,
#      must still be running after 3 seconds;
#   4. `gio launch` of the desktop entry (the way desktops start an entry), on an Xvfb
#      server of this machine whose socket the new system sees, must show the main
#      window; a screenshot of it is left as fresh-debian.png in the current folder.
set -euo pipefail
deb=$(realpath "$1")
"$(dirname "$0")/../../scripts/install-deps.sh" fresh-debian
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
root=$(mktemp -d /tmp/fresh-debian.XXXXXX)
chmod 755 "$root" # apt's download user must reach the lists
xvfb_pid=
cleanup() {
    [ -z "$xvfb_pid" ] || { kill "$xvfb_pid"; wait "$xvfb_pid"; } 2>/dev/null
    for m in tmp/.X11-unix dev/pts dev proc; do
        if mountpoint -q "$root/$m"; then umount "$root/$m" || umount -l "$root/$m"; fi
    done
    # The bind mounts share this machine's folders: remove nothing while one is left.
    if grep -qF " $root/" /proc/mounts; then
        echo "still mounted under $root; left in place" >&2
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }

echo "== bootstrapping Debian 12 (minbase) in $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" > "$root.debootstrap.log" 2>&1 \
    || { tail -20 "$root.debootstrap.log"; exit 1; }
rm -f "$root.debootstrap.log"
cat > "$root/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb ${mirror%/debian}/debian-security bookworm-security main
SOURCES
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
cp "$deb" "$root/tmp/"

echo "== apt-get install ./$(basename "$deb")"
in_root apt-get update -q > /dev/null
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y "/tmp/$(basename "$deb")" \
    > "$root/tmp/install.log" 2>&1 || { tail -30 "$root/tmp/install.log"; exit 1; }
grep -E '^[0-9]+ upgraded, [0-9]+ newly installed' "$root/tmp/install.log"

entry=$(in_root sh -c 'ls /usr/share/applications/*.desktop' | grep -v mimeinfo)
exec_line=$(sed -n 's/^Exec=//p' "$root$entry")
echo "== $entry: Exec=$exec_line, offscreen"
# chroot, env and sh each exec the next, so $! is the program itself.
chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root QT_QPA_PLATFORM=offscreen \
    sh -c "exec $exec_line" > "$root/tmp/offscreen.log" 2>&1 &
pid=$!
sleep 3
if ! kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: the program ended within 3 seconds"; cat "$root/tmp/offscreen.log"; exit 1
fi
[ "$(readlink "/proc/$pid/exe")" = "$root/usr/bin/tintwell" ] \
    || { echo "FAIL: the Exec line ran $(readlink "/proc/$pid/exe")"; kill "$pid"; exit 1; }
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "ok: still running after 3 seconds"

echo "== gio launch $entry on an X server"
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    libglib2.0-bin > /dev/null 2>&1
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$root/tmp/display" > /dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$root/tmp/display" ] && break; sleep 0.1; done
display=:$(cat "$root/tmp/display")
mkdir -p "$root/run/user/0"
chmod 700 "$root/run/user/0"
in_root env DISPLAY="$display" XDG_RUNTIME_DIR=/run/user/0 gio launch "$entry"
window=
for _ in $(seq 40); do
    window=$(DISPLAY=$display xwininfo -root -tree | awk '/"Merrow Tintwell 2.0"/ {print $1; exit}')
    [ -n "$window" ] && break
    sleep 0.25
done
[ -n "$window" ] || { echo "FAIL: no main window appeared"; exit 1; }
sleep 1
DISPLAY=$display xprop -id "$window" WM_CLASS _NET_WM_NAME
DISPLAY=$display import -window root fresh-debian.png
# gio started the program detached; the window names its process.
pid=$(DISPLAY=$display xprop -id "$window" _NET_WM_PID | awk '{print $3}')
kill "$pid"
for _ in $(seq 40); do kill -0 "$pid" 2>/dev/null || break; sleep 0.25; done
echo "ok: the main window came up; screenshot in fresh-debian.png"
