#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a fuzzer with clang's libFuzzer and runs it for a bounded time, or a number of inputs.
# Usage: run.sh [work folder] [seconds] [target] [runs]
#   target: ini (the settings file, the default), protocol (what a network client sends),
#           server (what the server sends, as a client reads it into its copy of the table) or
#           announcement (a table's announcement on the local network)
#   runs:   stop after this many inputs instead (the time limit still holds)
# Exit 77 (skipped) when clang, or Qt for the settings fuzzer, is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
work=${1:-$source_root/build/fuzz}
seconds=${2:-20}
target=${3:-ini}
runs=${4:--1}

cxx=""
for candidate in clang++ clang++-14 clang++-15 clang++-16; do
    if command -v "$candidate" >/dev/null 2>&1; then
        cxx=$candidate
        break
    fi
done
if [[ -z $cxx ]]; then
    echo "clang++ not found: fuzzing skipped"
    exit 77
fi
mkdir -p "$work/corpus"
case $target in
ini)
    if ! pkg-config --exists Qt6Core; then
        echo "Qt6Core not known to pkg-config: fuzzing skipped"
        exit 77
    fi
    binary=$work/ini_fuzz
    seeds=$here/corpus
    max_len=16384
    # Qt's headers insist on position-independent code.
    # shellcheck disable=SC2046
    "$cxx" -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$source_root/src" $(pkg-config --cflags Qt6Core) \
        "$here/ini_fuzz.cpp" "$source_root/src/settings/ini_file.cpp" \
        $(pkg-config --libs Qt6Core) -o "$binary"
    ;;
protocol)
    binary=$work/protocol_fuzz
    seeds=$here/protocol_corpus
    max_len=8192
    "$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$source_root/src" "$here/protocol_fuzz.cpp" "$source_root/src/net/client_message.cpp" -o "$binary"
    ;;
server)
    binary=$work/server_message_fuzz
    seeds=$here/server_corpus
    max_len=8192
    # The client's copy of a view is built with the game's own types: the rules come along.
    src=$source_root/src
    "$cxx" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$src" "$here/server_message_fuzz.cpp" "$src/net/protocol.cpp" "$src/net/client_message.cpp" \
        "$src/table/seat.cpp" "$src/table/table_view.cpp" "$src/core/game.cpp" "$src/core/cards.cpp" \
        "$src/core/deal_cycle.cpp" "$src/core/deck.cpp" "$src/core/random.cpp" "$src/core/scoring.cpp" \
        "$src/core/seat_view.cpp" "$src/core/suits.cpp" "$src/core/trick.cpp" -o "$binary"
    ;;
announcement)
    if ! pkg-config --exists Qt6Core; then
        echo "Qt6Core not known to pkg-config: fuzzing skipped"
        exit 77
    fi
    binary=$work/announcement_fuzz
    seeds=$here/announcement_corpus
    max_len=1024
    # shellcheck disable=SC2046
    "$cxx" -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -I"$source_root/src" $(pkg-config --cflags Qt6Core) "$here/announcement_fuzz.cpp" \
        "$source_root/src/net/table_announcement.cpp" "$source_root/src/net/client_message.cpp" \
        $(pkg-config --libs Qt6Core) -o "$binary"
    ;;
*)
    echo "unknown fuzz target: $target" >&2
    exit 2
    ;;
esac

# New inputs go to the work folder; the committed seeds are only read.
log=$work/fuzz.log
status=0
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
    "$binary" -max_total_time="$seconds" -runs="$runs" -max_len="$max_len" -timeout=10 -error_exitcode=1 \
    -rss_limit_mb=2048 -artifact_prefix="$work/" -print_final_stats=1 "$work/corpus" "$seeds" >"$log" 2>&1 ||
    status=$?
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$log" || true
if [[ $status -ne 0 ]]; then
    tail -n 60 "$log"
    echo "fuzzing failed (exit $status); inputs that broke it are in $work"
fi
exit "$status"
