#!/usr/bin/env bash
# Long headless run: 100,000 steps at 20000 bodies. Samples the process's resident
# memory every second and reports it shortly after the start and at the end, so a
# leak or a growing buffer shows as a difference. Not a test: it takes minutes.
# Usage: bench/long_run.sh [BUILD_DIR] [STEPS]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
steps="${2:-100000}"
cli="$build/app/cli/stelvo-cli"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT

"$cli" --bodies 20000 --step 5 --steps "$steps" --bench >"$out" &
pid=$!
rss() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true; }
sleep 2
first=$(rss)
last=$first
samples=0
while kill -0 "$pid" 2>/dev/null; do
  now=$(rss)
  [ -n "$now" ] && last=$now && samples=$((samples + 1))
  sleep 1
done
wait "$pid"
cat "$out"
echo "rss_after_2s_kb $first"
echo "rss_at_end_kb $last"
echo "rss_samples $samples"
echo "rss_growth_kb $((last - first))"
