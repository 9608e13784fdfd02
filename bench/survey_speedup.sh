#!/usr/bin/env bash
# stelvo-survey on one machine: one rank of one thread against two ranks of one
# thread each, on the Leonid trails (55P/Tempel-Tuttle's returns 1699-1965, nine
# trails of 2000 grains, encounters 1998-2002), the largest first. Runs alternate;
# prints each run's wall time (mpirun's start included), the medians and the
# speed-up. Not a test: a few minutes on two free cores.
# Usage: bench/survey_speedup.sh [BUILD_DIR] [RUNS] [PER_TRAIL]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
runs="${2:-3}"
per_trail="${3:-2000}"
survey="$build/app/survey/stelvo-survey"
if [ "$(id -u)" -eq 0 ]; then
  export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
args=(--comets 539 --trails 1699..1965 --forecast 1998..2002 --per-trail "$per_trail" --threads 1)

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
one=()
two=()
for run in $(seq 1 "$runs"); do
  for ranks in 1 2; do
    start=$(date +%s.%N)
    mpirun -q -np "$ranks" "$survey" "${args[@]}" --survey-csv "$work/np$ranks.csv" > /dev/null
    seconds=$(echo "$(date +%s.%N) - $start" | bc)
    echo "run $run ranks $ranks wall_s $seconds"
    if [ "$ranks" -eq 1 ]; then one+=("$seconds"); else two+=("$seconds"); fi
  done
  cmp -s "$work/np1.csv" "$work/np2.csv" || { echo "the CSVs differ"; exit 1; }
done
m1=$(printf '%s\n' "${one[@]}" | median)
m2=$(printf '%s\n' "${two[@]}" | median)
echo "rows $(($(wc -l < "$work/np1.csv") - 1))"
echo "median_1_rank_s $m1"
echo "median_2_ranks_s $m2"
echo "speedup $(echo "scale=3; $m1 / $m2" | bc)"
echo "load_average $(cut -d' ' -f1-3 /proc/loadavg)"
