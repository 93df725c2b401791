#!/usr/bin/env bash
# Record lock benchmark: the time Ctrl-C takes to end a station while another session holds
# its server table locked. Prints figures, it is not a test.
#   bench/record-lock-stop-bench.sh [--give-up S]   (BUILD_DIR defaults to build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
exec python3 "$root/bench/record_lock_stop_bench.py" \
    --flasher "$build/cli/norvane-flash" --devsim "$build/sim/devsim/norvane-devsim" "$@"
