#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour sanitizers) and
# runs each for a bounded time: the S-record line parser, the whole-file loader and the
# virtual device's packet parser.
#
#   fuzz/run-fuzzers.sh [SECONDS [TARGET...]]   default 60 seconds, every target
#
# New interesting inputs are merged into the committed corpus fuzz/corpus/<target>/ (the test
# suite replays it). A crash fails the script loudly; the crashing input is saved into
# tests/data/fuzz-crashes/ so that it becomes a test file.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_PER_TARGET=${1:-60}
CXX=${FUZZ_CXX:-clang++}
OUT=fuzz/out
CRASHES=tests/data/fuzz-crashes
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -gt 0 ] || TARGETS=(parse_line load_file packet_parser)
LOADER=(image/SRecord.cpp image/Crc16.cpp base/Files.cpp base/Files_posix.cpp)
declare -A SOURCES=(
    [parse_line]="fuzz/FuzzParseLine.cpp ${LOADER[*]}"
    [load_file]="fuzz/FuzzLoadFile.cpp ${LOADER[*]}"
    [packet_parser]="fuzz/FuzzPacketParser.cpp fuzz/PacketParserCheck.cpp sim/PacketParser.cpp image/Crc16.cpp"
)

command -v "$CXX" >/dev/null || { echo "run-fuzzers: $CXX not found (apt-get install clang)" >&2; exit 2; }
command -v pkg-config >/dev/null || { echo "run-fuzzers: pkg-config not found" >&2; exit 2; }
mkdir -p "$OUT" "$CRASHES"

# Qt is built position-independent, so the targets are too (the packet parser uses QtCore).
# shellcheck disable=SC2046
FLAGS=(-std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -fno-omit-frame-pointer -Ibase -Iimage -Ilink -Isim -Ifuzz $(pkg-config --cflags Qt6Core))
# shellcheck disable=SC2046
LIBS=($(pkg-config --libs Qt6Core))
for target in "${TARGETS[@]}"; do
    [ -n "${SOURCES[$target]:-}" ] || { echo "run-fuzzers: no target $target" >&2; exit 2; }
    echo "== building $target"
    # shellcheck disable=SC2086 # the source list is meant to be split into words
    "$CXX" "${FLAGS[@]}" ${SOURCES[$target]} "${LIBS[@]}" -o "$OUT/fuzz_$target"
done

failed=0
for target in "${TARGETS[@]}"; do
    corpus=fuzz/corpus/$target
    work=$OUT/corpus-$target
    artifacts=$OUT/artifacts-$target/
    mkdir -p "$corpus" "$work" "$artifacts"
    echo "== fuzzing $target for ${SECONDS_PER_TARGET}s"
    set +e
    "$OUT/fuzz_$target" "$work" "$corpus" -max_total_time="$SECONDS_PER_TARGET" \
        -max_len=4096 -artifact_prefix="$artifacts" -print_final_stats=1 \
        >"$OUT/$target.log" 2>&1
    status=$?
    set -e
    grep -E '^(#[0-9]+\s+DONE|stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)' \
        "$OUT/$target.log" || true
    # Keep the crash-free corpus minimal: merge what was found into the committed one.
    "$OUT/fuzz_$target" -merge=1 "$corpus" "$work" >"$OUT/$target.merge.log" 2>&1 || true
    echo "   corpus: $(find "$corpus" -type f | wc -l) files"
    if [ $status -ne 0 ]; then
        failed=1
        for crash in "$artifacts"*; do
            [ -f "$crash" ] || continue
            mkdir -p "$CRASHES/$target"
            cp "$crash" "$CRASHES/$target/$(basename "$crash")"
            echo "!! $target CRASHED; input saved as $CRASHES/$target/$(basename "$crash")" >&2
        done
        tail -n 40 "$OUT/$target.log" >&2
    fi
done

if [ $failed -ne 0 ]; then
    echo "!!! run-fuzzers: FAILURE - a fuzz target crashed (see above)" >&2
    exit 1
fi
echo "run-fuzzers: no crash"
