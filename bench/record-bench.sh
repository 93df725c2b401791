#!/usr/bin/env bash
# Record benchmark: rows per second into one SQLite record file from 16 writers at once, as
# 16 threads of one process and as 16 processes. Prints figures, it is not a test.
#   bench/record-bench.sh [ROWS_PER_WRITER]      (default 50; BUILD_DIR defaults to build)
# The file lives in TMPDIR: every row is a commit that waits for the disk, so the figures are
# mostly the speed of that disk's flush.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
writer="$build/tests/record/record-writer"
rows=${1:-50}
writers=16
[ -x "$writer" ] || { echo "record-bench: $writer is missing; build first" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/norvane-record-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

count_rows() {
    "$build/cli/norvane-flash" history --record "$1" --csv | tail -n +2 | wc -l
}

# One process, 16 threads.
out=$("$writer" --record "$work/threads.sqlite" --rows "$rows" --threads "$writers")
seconds=${out##* }
stored=$(count_rows "$work/threads.sqlite")
printf '%d threads x %d rows: %d rows in %.2f s, %.0f rows/s\n' \
    "$writers" "$rows" "$stored" "$seconds" "$(awk "BEGIN{print $stored / $seconds}")"

# 16 processes, one thread each, started together.
start=$(date +%s.%N)
pids=()
for i in $(seq "$writers"); do
    "$writer" --record "$work/processes.sqlite" --rows "$rows" --station "station-$i" \
        >/dev/null &
    pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid"; done
seconds=$(awk "BEGIN{print $(date +%s.%N) - $start}")
stored=$(count_rows "$work/processes.sqlite")
printf '%d processes x %d rows: %d rows in %.2f s, %.0f rows/s (process starts included)\n' \
    "$writers" "$rows" "$stored" "$seconds" "$(awk "BEGIN{print $stored / $seconds}")"
