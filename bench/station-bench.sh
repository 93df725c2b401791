#!/usr/bin/env bash
# Station benchmark: prints figures, it is not a test.
#   bench/station-bench.sh [--kib N] [--spread S] [--idle S]   (BUILD_DIR defaults to build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
exec python3 "$root/bench/station_bench.py" \
    --flasher "$build/cli/norvane-flash" --devsim "$build/sim/devsim/norvane-devsim" "$@"
