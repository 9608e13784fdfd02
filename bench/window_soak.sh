#!/usr/bin/env bash
# Start/Stop soak of the window on Qt's offscreen platform: builds window_soak, runs
# CYCLES cycles of Start, five painted passes and Stop with BODIES bodies, and prints
# the resident set and the heap in use after cycles 1, 10, 100, 500 and 1000. The
# growth from cycle 10 (everything warmed up) to the last cycle decides: more than
# LIMIT_KB (default 1024) in either figure counts as growth and the script exits 1.
# Not a test: 1000 cycles at 4000 bodies take about a minute.
# Usage: bench/window_soak.sh [BUILD_DIR] [CYCLES] [BODIES]
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$source_dir/build}"
cycles="${2:-1000}"
bodies="${3:-4000}"
limit_kb="${LIMIT_KB:-1024}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j2 --target window_soak >/dev/null

out="$(mktemp)"
trap 'rm -f "$out"' EXIT
QT_QPA_PLATFORM=offscreen "$build/bench/window_soak" "$cycles" "$bodies" 2>/dev/null | tee "$out"

awk -v limit="$limit_kb" -v cycles="$cycles" '
  $1 ~ /^[0-9]+$/ && NF == 4 {
    if (!seen || $1 == 10) { rss0 = $2; heap0 = $3; from = $1; seen = 1 }
    rss1 = $2; heap1 = $3; to = $1
  }
  END {
    if (to != cycles) { print "window_soak did not finish"; exit 2 }
    printf "growth from cycle %d to %d: rss %+d kB, heap %+d kB\n", from, to, rss1 - rss0, heap1 - heap0
    if (rss1 - rss0 > limit || heap1 - heap0 > limit) { print "memory GREW"; exit 1 }
    print "memory flat"
  }' "$out"
