#!/usr/bin/env bash
# Record kill benchmark: SIGKILL a station at random moments and count the devices shown as
# downloaded against the rows the record kept. Prints figures, it is not a test.
#   bench/record-kill-bench.sh [--devices N] [--runs K]   (BUILD_DIR defaults to build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
exec python3 "$root/bench/record_kill_bench.py" \
    --flasher "$build/cli/norvane-flash" --devsim "$build/sim/devsim/norvane-devsim" "$@"
