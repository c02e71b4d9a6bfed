#!/usr/bin/env bash
# Runs one input of a fuzz target again and again in one process and prints the resident
# size as it goes ("seconds MB", every 3 s). With the same input every time no
# new code is reached, so the sanitizers' own bookkeeping stays put: a size that keeps
# climbing is memory that each input leaves behind.
# Usage: repeat.sh BINARY INPUT RUNS
set -euo pipefail
bin=$1 input=$2 runs=${3:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
TMPDIR=$work "$bin" -runs="$runs" -detect_leaks=1 "$input" >"$work/log" 2>&1 &
pid=$!
start=$(date +%s)
while kill -0 "$pid" 2>/dev/null; do
  sleep 3
  awk -v t=$(( $(date +%s) - start )) '/^VmRSS:/ { print t, int($2 / 1024) }' \
    "/proc/$pid/status" 2>/dev/null || true
done
wait "$pid"
echo "$runs runs in $(( $(date +%s) - start )) s"
tail -n 3 "$work/log"
