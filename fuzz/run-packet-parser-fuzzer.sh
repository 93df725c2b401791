#!/usr/bin/env bash
# Builds the virtual device's packet-parser libFuzzer target with clang (address and
# undefined-behaviour sanitizers) and runs it for a bounded time.
#
#   fuzz/run-packet-parser-fuzzer.sh [SECONDS]      default 60 seconds
#
# New interesting inputs are merged into the committed corpus fuzz/corpus/packet_parser/
# (the test suite replays it). A crash fails the script; the crashing input is saved into
# fuzz/corpus/packet_parser/ as crash-* so that the suite replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."

SECONDS_TO_RUN=${1:-60}
CXX=${FUZZ_CXX:-clang++}
OUT=fuzz/out
CORPUS=fuzz/corpus/packet_parser
WORK=$OUT/corpus-packet_parser
ARTIFACTS=$OUT/artifacts-packet_parser/

command -v "$CXX" >/dev/null || { echo "run-packet-parser-fuzzer: $CXX not found (apt-get install clang)" >&2; exit 2; }
command -v pkg-config >/dev/null || { echo "run-packet-parser-fuzzer: pkg-config not found" >&2; exit 2; }
mkdir -p "$OUT" "$WORK" "$ARTIFACTS"

echo "== building packet_parser"
# Qt is built position-independent, so the target is too.
# shellcheck disable=SC2046
"$CXX" -std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -fno-omit-frame-pointer -Iimage -Isim -Ifuzz $(pkg-config --cflags Qt6Core) \
    fuzz/FuzzPacketParser.cpp fuzz/PacketParserCheck.cpp sim/PacketParser.cpp image/Crc16.cpp \
    $(pkg-config --libs Qt6Core) -o "$OUT/fuzz_packet_parser"

echo "== fuzzing packet_parser for ${SECONDS_TO_RUN}s"
set +e
"$OUT/fuzz_packet_parser" "$WORK" "$CORPUS" -max_total_time="$SECONDS_TO_RUN" -max_len=1024 \
    -artifact_prefix="$ARTIFACTS" -print_final_stats=1 >"$OUT/packet_parser.log" 2>&1
status=$?
set -e
grep -E '^(#[0-9]+\s+DONE|stat::number_of_executed_units|stat::new_units_added|stat::peak_rss_mb)' \
    "$OUT/packet_parser.log" || true
"$OUT/fuzz_packet_parser" -merge=1 "$CORPUS" "$WORK" >"$OUT/packet_parser.merge.log" 2>&1 || true
echo "   corpus: $(find "$CORPUS" -type f | wc -l) files"

if [ $status -ne 0 ]; then
    for crash in "$ARTIFACTS"*; do
        [ -f "$crash" ] || continue
        cp "$crash" "$CORPUS/$(basename "$crash")"
        echo "!! packet_parser CRASHED; input saved as $CORPUS/$(basename "$crash")" >&2
    done
    tail -n 40 "$OUT/packet_parser.log" >&2
    echo "!!! run-packet-parser-fuzzer: FAILURE" >&2
    exit 1
fi
echo "run-packet-parser-fuzzer: no crash"
