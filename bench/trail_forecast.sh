#!/usr/bin/env bash
# The Leonid forecast as a benchmark: 55P/Tempel-Tuttle, the trails of its returns
# 1699-1965 with 10,000 particles each, searched for encounters in 1998-2002.
# Prints the forecast table, where the time went (per-thread clocks summed over
# trails) and the process's wall-clock and CPU time. Not a test: about a minute of
# CPU on two free cores. Usage: bench/trail_forecast.sh [BUILD_DIR] [PER_TRAIL]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
per_trail="${2:-10000}"
cli="$build/app/cli/stelvo-cli"
TIMEFORMAT="wall_s %R
cpu_user_s %U
cpu_system_s %S"
time "$cli" --comet 539 --trails 1699..1965 --forecast 1998..2002 --per-trail "$per_trail" --bench
