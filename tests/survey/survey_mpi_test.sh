#!/bin/bash
# stelvo-survey under mpirun on one machine: 1, 2 and 3 ranks (oversubscribed) and
# the program alone with two threads give the same CSV bytes; a rank killed mid-run
# ends the survey with a non-zero status, one line of ours and no CSV; the rerun
# with the same checkpoint directory gives the bytes of an uninterrupted survey.
#   survey_mpi_test.sh PATH/TO/stelvo-survey
set -u
survey=$1
fail() { echo "FAIL: $*"; exit 1; }

# Bad command lines: one line on stderr, status 2; an unwritable CSV: status 1 at
# once, before any work.
while IFS='|' read -r expected line; do
  read -ra words <<< "$line"
  "$survey" "${words[@]}" > /dev/null 2> "${TMPDIR:-/tmp}/survey-err.$$"
  status=$?
  lines=$(wc -l < "${TMPDIR:-/tmp}/survey-err.$$")
  rm -f "${TMPDIR:-/tmp}/survey-err.$$"
  [ "$status" -eq "$expected" ] && [ "$lines" -eq 1 ] ||
    fail "'$line': status $status (expected $expected), $lines lines on stderr"
done << 'EOF_CASES'
2|--bogus
2|--comets 539,539 --trails 1900..1965 --forecast 1998..1999
2|--comets 588 --list
2|--comets 539 --moid 0.1 --list
2|--moid 0 --list
2|--comets 539 --trails 1965..1900 --forecast 1998..1999
2|--comets 539 --trails 1900..1965
2|--comets 539 --trails 1900..1965 --forecast 1998..1999 --per-trail 0
1|--comets 539 --trails 1965..1965 --forecast 1998..1998 --survey-csv /nonexistent/dir/s.csv
EOF_CASES

command -v mpirun > /dev/null || { echo "mpirun not found: skipped"; exit 77; }
# OpenMPI refuses to start as root unless told that it is meant.
if [ "$(id -u)" -eq 0 ]; then
  export OMPI_ALLOW_RUN_AS_ROOT=1 OMPI_ALLOW_RUN_AS_ROOT_CONFIRM=1
fi
work=$(mktemp -d)
trap 'kill $(jobs -p) 2> /dev/null; rm -rf "$work"' EXIT

# 8 trails of 55P and 21P, 50 grains each: seconds of work, with encounters.
tasks=8
args=(--comets 539,98 --trails 1925..1965 --forecast 1998..1998 --per-trail 50
      --trail-step 2 --near 0.01 --timeout 30)
mpi=(mpirun -q --oversubscribe)

"$survey" "${args[@]}" --threads 2 --survey-csv "$work/alone.csv" > "$work/alone.out" ||
  fail "the survey alone failed"
rows=$(($(wc -l < "$work/alone.csv") - 1))
[ "$rows" -ge 3 ] || fail "only $rows rows: the survey found too little to compare"
grep -qx "tasks $tasks" "$work/alone.out" || fail "expected $tasks tasks: $(cat "$work/alone.out")"

for ranks in 1 2 3; do
  "${mpi[@]}" -np "$ranks" "$survey" "${args[@]}" --threads 1 \
    --survey-csv "$work/np$ranks.csv" > "$work/np$ranks.out" || fail "mpirun -np $ranks failed"
  cmp "$work/alone.csv" "$work/np$ranks.csv" || fail "mpirun -np $ranks: other bytes"
  grep -qx "ranks $ranks" "$work/np$ranks.out" || fail "mpirun -np $ranks: $(cat "$work/np$ranks.out")"
done

# Rank 1 killed once a task has been kept in the checkpoint directory.
"${mpi[@]}" -np 3 "$survey" "${args[@]}" --threads 1 --checkpoint "$work/keep" \
  --survey-csv "$work/killed.csv" > "$work/killed.out" 2> "$work/killed.err" &
launcher=$!
rank1=""
for _ in $(seq 1 600); do
  if [ -z "$rank1" ]; then
    for pid in $(pgrep -f -- "--survey-csv $work/killed.csv"); do
      if tr '\0' '\n' < "/proc/$pid/environ" 2> /dev/null | grep -qx 'OMPI_COMM_WORLD_RANK=1'; then
        rank1=$pid
      fi
    done
  fi
  if [ -n "$rank1" ] && ls "$work/keep"/*.csv > /dev/null 2>&1; then break; fi
  sleep 0.1
done
[ -n "$rank1" ] || fail "rank 1 not found"
kill -KILL "$rank1"
wait "$launcher"
status=$?
[ "$status" -ne 0 ] || fail "a killed rank left exit status 0"
[ ! -e "$work/killed.csv" ] || fail "a killed rank left a CSV"
grep -q '^stelvo-survey: ' "$work/killed.err" || fail "no line of ours: $(cat "$work/killed.err")"
kept=$(ls "$work/keep" | wc -l)
[ "$kept" -ge 1 ] && [ "$kept" -lt "$tasks" ] || fail "$kept tasks kept before the kill"

"${mpi[@]}" -np 2 "$survey" "${args[@]}" --threads 1 --checkpoint "$work/keep" \
  --survey-csv "$work/resumed.csv" > "$work/resumed.out" || fail "the resumed survey failed"
cmp "$work/alone.csv" "$work/resumed.csv" || fail "the resumed survey: other bytes"
grep -qx "from_checkpoints $kept" "$work/resumed.out" ||
  fail "expected $kept tasks from the checkpoints: $(cat "$work/resumed.out")"
echo "PASS: $rows rows, the same bytes alone and on 1, 2, 3 ranks; killed rank: status $status;" \
  "resumed with $kept of $tasks tasks kept"
