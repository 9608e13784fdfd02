#!/usr/bin/env bash
# The established showers of 1P/Halley as a benchmark: grains of every return in
# FROM..1986 (2,000 each), integrated to 2000-2009 with a 2-day step before the last
# century, the eta Aquariids and Orionids among the showers. Prints the showers, where
# the time went (per-thread clocks summed over returns) and the process's wall-clock
# and CPU time. Not a test. The default span, 1600..1986, is what the planets' range
# of this build allows (about 20 s of CPU); -1000..1986 is the target case (398 s of
# CPU measured, under 10 minutes on two cores), for a build whose range reaches it.
# Usage: bench/stream_halley.sh [BUILD_DIR] [FROM] [PER_RETURN]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
from="${2:-1600}"
per_return="${3:-2000}"
cli="$build/app/cli/stelvo-cli"
TIMEFORMAT="wall_s %R
cpu_user_s %U
cpu_system_s %S"
time "$cli" --comet 119 --stream "$from..1986" --forecast 2000..2009 --per-trail "$per_return" \
    --far-step 2 --bench | grep -v '^profile '
