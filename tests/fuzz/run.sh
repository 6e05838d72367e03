#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the settings-file fuzzer with clang's libFuzzer and runs it for a bounded time.
# Usage: run.sh [work folder] [seconds]. Exit 77 (skipped) when clang or Qt is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_root=$(cd "$here/../.." && pwd)
work=${1:-$source_root/build/fuzz}
seconds=${2:-20}

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
if ! pkg-config --exists Qt6Core; then
    echo "Qt6Core not known to pkg-config: fuzzing skipped"
    exit 77
fi

mkdir -p "$work/corpus"
binary=$work/ini_fuzz
# Qt's headers insist on position-independent code.
# shellcheck disable=SC2046
"$cxx" -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$source_root/src" $(pkg-config --cflags Qt6Core) \
    "$here/ini_fuzz.cpp" "$source_root/src/settings/ini_file.cpp" \
    $(pkg-config --libs Qt6Core) -o "$binary"

# New inputs go to the work folder; the committed seeds are only read.
log=$work/fuzz.log
status=0
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
    "$binary" -max_total_time="$seconds" -max_len=16384 -timeout=10 -error_exitcode=1 -rss_limit_mb=2048 \
    -artifact_prefix="$work/" -print_final_stats=1 "$work/corpus" "$here/corpus" >"$log" 2>&1 || status=$?
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb|stat::new_units_added)' "$log" || true
if [[ $status -ne 0 ]]; then
    tail -n 60 "$log"
    echo "fuzzing failed (exit $status); inputs that broke it are in $work"
fi
exit "$status"
