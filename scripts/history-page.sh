#!/usr/bin/env bash
# Makes the screenshot of the page norvane-flash history --html writes, for the
# documentation: a day of made-up downloads from two stations goes into a temporary record,
# the page is written from it and opened in headless Chromium. Needs chromium.
#
#   scripts/history-page.sh [OUTPUT_PNG]   (default docs/screenshots/history-page.png;
#                                           BUILD_DIR as in demo.sh)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshots/history-page.png}
build=${BUILD_DIR:-build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
command -v chromium >/dev/null || {
    echo "history-page: chromium is missing (apt-get install chromium)" >&2
    exit 1
}
work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-history-page.XXXXXX")
trap 'rm -rf "$work"' EXIT

for station in line1-station1 line1-station2; do
    "$build/tests/record/record-writer" --record "$work/history.sqlite" --station "$station" \
        --rows 40 --threads 4 --spread-hours 24 >/dev/null
done
"$build/cli/norvane-flash" history --record "$work/history.sqlite" --html "$work/history.html"
chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
    --disable-component-update --disable-sync --no-first-run --hide-scrollbars \
    --user-data-dir="$work/chromium" --window-size=1280,1500 \
    --screenshot="$out" "file://$work/history.html" 2>/dev/null
echo "history-page: $out"
