#!/usr/bin/env bash
# Runs every fuzzer for a bounded time from seed corpora. Exits non-zero on a
# crash, a hang (over 10 s for one input), a sanitizer report or a leak.
# Usage: run_fuzzers.sh FUZZ_BUILD_DIR SECONDS_EACH
set -euo pipefail
build="$1"
seconds="${2:-60}"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 "$here/make_seeds.py" "$here/../../src/data/comet_catalogue.cpp" "$work/seeds"
status=0
for target in comet_line number_fields cli_options; do
  mkdir -p "$work/corpus/$target"
  log="$work/$target.log"
  if "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 "$work/corpus/$target" "$work/seeds/$target" \
      >"$log" 2>&1; then
    runs=$(grep -m1 -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$')
    echo "fuzz_$target: ${runs:-?} executions in ${seconds} s, no crash, no hang, no report"
  else
    echo "fuzz_$target FAILED:"
    tail -40 "$log"
    status=1
  fi
done
exit $status
