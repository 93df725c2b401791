#!/usr/bin/env bash
# Takes the window's screenshots for the documentation under a virtual X server with a window
# manager (Xvfb and openbox), with the frame as the window manager draws it:
#
#   idle.png, port-dialog.png, downloading.png, quit-question.png    at scale 1, default font
#   idle-scale-1.5.png, downloading-scale-1.5.png                     at QT_SCALE_FACTOR 1.5
#   idle-11pt.png, downloading-11pt.png                               with an 11 pt default font
#
# "downloading" is taken while the device is being programmed, when the status line shows its
# longest text. Each run answers the quit question with Yes mid-download and checks that the
# program then ends at once with exit code 0.
#
# The firmware file lies in /home/user/firmware, a private home folder seen only by this script
# (a mount namespace), so no path of the machine shows in the pictures.
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]     (default docs/screenshots; BUILD_DIR as in demo.sh)
#
# Needs xvfb-run, openbox, xdotool, ImageMagick's import, unshare (util-linux) and, for the
# 11 pt font, qt6ct.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshots}
for tool in xvfb-run openbox xdotool import unshare qt6ct; do
    command -v "$tool" >/dev/null || {
        echo "screenshots: $tool is missing (apt-get install xvfb openbox xdotool imagemagick" \
             "util-linux qt6ct)" >&2
        exit 1
    }
done

if [ -z "${NORVANE_SCREENSHOTS_INSIDE:-}" ]; then
    mkdir -p "$out"
    NORVANE_SCREENSHOTS_INSIDE=1 exec unshare --map-root-user --mount \
        xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" "$0" "$(cd "$out" && pwd)"
fi

build=${BUILD_DIR:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-shots.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A home folder of its own, seen only inside this script's mount namespace.
mount -t tmpfs tmpfs /home
export HOME=/home/user
mkdir -p "$HOME/firmware"
cp "$root/samples/norvane-demo.mot" "$HOME/firmware/"

openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done

window_named() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | tail -n 1) \
            && [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "screenshots: no window named $1" >&2; exit 1; }
    echo "$id"
}
shoot() { sleep 0.4; import -frame -window "$1" "$out/$2.png"; }

# One run of the window on a fresh virtual device. $1: the file name suffix; the environment
# given after it reaches the window only.
run() {
    local suffix=$1
    shift
    local device=$HOME/norvane-device$suffix config=$work/config$suffix
    # The device paces its bytes at 19200 baud, so a download lasts long enough to be seen.
    "$build/sim/devsim/norvane-devsim" --pace --link "$device" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -e "$device" ] && break; sleep 0.1; done
    mkdir -p "$config/qt6ct"
    cat >"$config/NorvaneProg.conf" <<SETTINGS
[Settings]
ComPort=1
LastFile=$HOME/firmware/norvane-demo.mot

[Ports]
COM1=$device
SETTINGS
    cat >"$config/qt6ct/qt6ct.conf" <<QT6CT
[Appearance]
style=Fusion
[Fonts]
general="Sans Serif,11,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
fixed="Monospace,11,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
QT6CT

    env XDG_CONFIG_HOME="$config" "$@" "$build/app/norvane-upgrader" >"$work/upgrader$suffix.log" 2>&1 &
    local upgrader=$!
    pids+=("$upgrader")
    local main
    main=$(window_named "^Tessary Norvane Upgrader$")
    shoot "$main" "idle$suffix"

    if [ -z "$suffix" ]; then
        xdotool key alt+f c
        shoot "$(window_named "^Select Serial Port$")" port-dialog
        xdotool key Escape
    fi

    xdotool key alt+d
    # Programming runs from about one second after the click for several seconds.
    sleep 2.5
    shoot "$main" "downloading$suffix"

    xdotool key alt+f e # Exit asks first, because a download runs
    local question
    question=$(window_named "^Tessary Norvane Upgrader$" "$main")
    [ -z "$suffix" ] && shoot "$question" quit-question
    xdotool key Return # Yes is the question's default button
    local status=0
    wait "$upgrader" || status=$?
    [ "$status" -eq 0 ] || { echo "screenshots: the program ended with $status" >&2; exit 1; }
}

run ""
run -scale-1.5 QT_SCALE_FACTOR=1.5
run -11pt QT_QPA_PLATFORMTHEME=qt6ct
echo "screenshots in $out; each run ended with exit code 0 after Yes to the quit question"
