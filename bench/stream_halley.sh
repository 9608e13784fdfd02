#!/usr/bin/env bash
# The established showers of 1P/Halley as a benchmark: grains of every return in
# -1000..1986 (2,000 each; passages from the orbit solutions by era), integrated to
# 2000-2009 with a 2-day step before the last century, the eta Aquariids and Orionids
# among the showers. Prints the showers and activity lines, where the time went
# (per-thread clocks summed over returns, grain_steps) and the process's wall-clock
# and CPU time. Not a test. The target: under 10 minutes of wall time on two idle
# cores (README, "The established shower from the whole stream": about 400 s of CPU).
# Usage: bench/stream_halley.sh [BUILD_DIR] [FROM] [PER_RETURN]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
from="${2:--1000}"
per_return="${3:-2000}"
cli="$build/app/cli/stelvo-cli"
TIMEFORMAT="wall_s %R
cpu_user_s %U
cpu_system_s %S"
time "$cli" --comet 119 --stream "$from..1986" --forecast 2000..2009 --per-trail "$per_return" \
    --far-step 2 --bench | grep -v '^profile '
