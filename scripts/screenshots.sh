#!/usr/bin/env bash
# Takes the window's screenshots for the documentation under a virtual X server: the idle
# window, the port dialog, the window in the middle of a download and the quit question.
# It then answers the question with Yes and checks that the program ends at once with exit
# code 0. Needs xvfb-run, xdotool and ImageMagick's import.
#
#   scripts/screenshots.sh [OUTPUT_FOLDER]     (default docs/screenshots; BUILD_DIR as in demo.sh)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshots}
for tool in xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || {
        echo "screenshots: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2
        exit 1
    }
done

if [ -z "${NORVANE_SCREENSHOTS_IN_XVFB:-}" ]; then
    mkdir -p "$out"
    NORVANE_SCREENSHOTS_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
        "$0" "$(cd "$out" && pwd)"
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

# The device paces its bytes at 19200 baud, so a download lasts long enough to be seen.
"$build/sim/devsim/norvane-devsim" --pace --link "$work/device" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/device" ] && break; sleep 0.1; done
mkdir -p "$work/config"
cat >"$work/config/NorvaneProg.conf" <<SETTINGS
[Settings]
ComPort=1
LastFile="$root/samples/norvane-demo.mot"

[Ports]
COM1="$work/device"
SETTINGS

XDG_CONFIG_HOME="$work/config" "$build/app/norvane-upgrader" >"$work/upgrader.log" 2>&1 &
upgrader=$!
pids+=("$upgrader")

window_named() {
    local id=""
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1) && [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.6; }

main=$(window_named "^Tessary Norvane Upgrader$")
[ -n "$main" ] || { echo "screenshots: the window did not open" >&2; cat "$work/upgrader.log" >&2; exit 1; }
sleep 0.5
import -window "$main" "$out/idle.png"

click "$main" 14 9    # File
click "$main" 40 32   # COM Port
dialog=$(window_named "^Select Serial Port$")
import -window "$dialog" "$out/port-dialog.png"
click "$dialog" 190 115 # Cancel

click "$main" 50 95   # Download
sleep 4
import -window "$main" "$out/downloading.png"

click "$main" 14 9    # File
click "$main" 40 62   # Exit: asks first, because a download runs
question=$(xdotool search --onlyvisible --name "^Tessary Norvane Upgrader$" | grep -v "^$main$" | tail -n 1)
import -window "$question" "$out/quit-question.png"
# Yes is the box's default button.
xdotool mousemove --window "$question" 5 5 key Return
status=0
wait "$upgrader" || status=$?
echo "screenshots in $out; the program ended with exit code $status"
[ "$status" -eq 0 ]
