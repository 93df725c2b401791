#!/usr/bin/env bash
# Download benchmark: prints figures, it is not a test.
#   bench/download-bench.sh [--kib N]      (BUILD_DIR defaults to build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
exec python3 "$root/bench/download_bench.py" \
    --flasher "$build/cli/norvane-flash" --devsim "$build/sim/devsim/norvane-devsim" "$@"
