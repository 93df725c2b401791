#!/usr/bin/env bash
# Benchmark: loading a full firmware image, `norvane-flash info` against `srec_cat` converting
# the same file to binary, as whole processes. Prints the median wall time of several runs of
# each, side by side, and the ratio.
#
#   bench/info-vs-srec_cat.sh [RUNS]        default 21 runs each
#
# The image fills the whole application area (0x3000 to 0x3FFFF) with S2 records of 32 data
# bytes, made by srec_cat. norvane-flash is taken from $NORVANE_FLASH, or from
# ${BUILD_DIR:-build}/cli/norvane-flash (built with cmake if missing).
set -euo pipefail
cd "$(dirname "$0")/.."

RUNS=${1:-21}
BUILD_DIR=${BUILD_DIR:-build}
FLASH=${NORVANE_FLASH:-$BUILD_DIR/cli/norvane-flash}
command -v srec_cat >/dev/null || { echo "bench: srec_cat missing (apt-get install srecord)" >&2; exit 2; }
if [ ! -x "$FLASH" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD_DIR" --target norvane-flash >/dev/null
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
srec_cat -generate 0x3000 0x40000 -repeat-string "Tessary Norvane benchmark image " \
    -o "$WORK/full.mot" -address-length=3 -obs=32
"$FLASH" info "$WORK/full.mot" >/dev/null # must load, and warms the page cache

# Median wall time in milliseconds of RUNS runs of a command.
median_ms() {
    local times=() start end
    for _ in $(seq "$RUNS"); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000 )))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.2f", a[int((NR+1)/2)]/1000}'
}

ours=$(median_ms "$FLASH" info "$WORK/full.mot")
theirs=$(median_ms srec_cat "$WORK/full.mot" -o "$WORK/full.bin" -binary)
startup=$(median_ms "$FLASH" --version)
lines=$(wc -l <"$WORK/full.mot")
bytes=$(stat -c %s "$WORK/full.mot")

echo "Full image 0x3000-0x3FFFF: $lines S-records, $bytes bytes; median of $RUNS runs each"
printf '%-44s %10s\n' "command" "median ms"
printf '%-44s %10s\n' "norvane-flash info full.mot" "$ours"
printf '%-44s %10s\n' "srec_cat full.mot -o full.bin -binary" "$theirs"
printf '%-44s %10s\n' "(norvane-flash --version: process start only)" "$startup"
awk -v a="$ours" -v b="$theirs" 'BEGIN {
    if (a > 0) printf "ratio srec_cat / norvane-flash: %.2fx (%s)\n", b / a,
        (a < b ? "norvane-flash is faster" : "srec_cat is faster") }'
