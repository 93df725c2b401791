#!/usr/bin/env bash
# Opens the Upgrader's window on a virtual device, so a download can be tried without any
# hardware: norvane-devsim serves the device on a pseudo-terminal, a private settings folder
# maps COM1 to it and names the sample firmware, and the window starts with both in place.
# The device takes its bytes at the real line speed, so the download is one a person can
# watch. The device stops when the window closes; the real settings and the real record of
# downloads are never touched: the window keeps both in the demo's private folder.
#
#   scripts/demo.sh              uses the programs in ./build (BUILD_DIR overrides)
#   DEMO_DEVSIM_ARGS=""          options for the device instead of "--pace" (19200 baud
#                                timing); empty: the download is over in a blink
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
upgrader=$build/app/norvane-upgrader
devsim=$build/sim/devsim/norvane-devsim
firmware=$root/samples/norvane-demo.mot
device_options=${DEMO_DEVSIM_ARGS-"--pace"}

for program in "$upgrader" "$devsim"; do
    [ -x "$program" ] || { echo "demo: $program is missing; build first (./build.sh build)" >&2; exit 1; }
done
[ -f "$firmware" ] || { echo "demo: $firmware is missing" >&2; exit 1; }
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "demo: no display to open the window on (DISPLAY is not set)" >&2
    exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-demo.XXXXXX")
device_pid=""
stop_device() {
    if [ -n "$device_pid" ] && kill -0 "$device_pid" 2>/dev/null; then
        kill "$device_pid" 2>/dev/null || true
        wait "$device_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop_device EXIT

# shellcheck disable=SC2086 # the extra options are meant to be split into words
"$devsim" --link "$work/norvane-device" $device_options >"$work/devsim.out" 2>&1 &
device_pid=$!
for _ in $(seq 50); do
    [ -e "$work/norvane-device" ] && break
    kill -0 "$device_pid" 2>/dev/null || { cat "$work/devsim.out" >&2; exit 1; }
    sleep 0.1
done
[ -e "$work/norvane-device" ] || { echo "demo: the virtual device did not start" >&2; exit 1; }

# The settings the window reads: COM1 reaches the virtual device, the sample is in the box.
mkdir -p "$work/config"
cat >"$work/config/NorvaneProg.conf" <<SETTINGS
[Settings]
ComPort=1
LastFile="$firmware"

[Ports]
COM1="$work/norvane-device"
SETTINGS

echo "Virtual device on $(head -n 1 "$work/devsim.out") (COM1); firmware $firmware"
if [ "$device_options" = "--pace" ]; then
    echo "The device takes its time as a real one does: a download lasts about 10 s."
    echo "For one without waiting: DEMO_DEVSIM_ARGS= ./build.sh run"
fi
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$upgrader"
