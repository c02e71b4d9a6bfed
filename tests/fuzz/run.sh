#!/usr/bin/env bash
# Runs one libFuzzer target for a few seconds over its seed corpus (a copy, so that the
# committed corpus does not grow), with leak detection on. Usage: run.sh BINARY SEED_DIR SECONDS
# Long runs of every target: `make fuzz-long` (tests/fuzz/long.sh, docs/fuzzing.md).
set -euo pipefail
bin=$1 seeds=$2 seconds=${3:-10}
if [ ! -x "$bin" ]; then
  echo "fuzz target $bin is missing: run 'make fuzz' (make test does)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/tmp"
[ -d "$seeds" ] && cp -r "$seeds"/. "$work/corpus"/ 2>/dev/null || true
export QT_QPA_PLATFORM=offscreen
# The inputs' folders go in the private folder, so that nothing is left behind.
TMPDIR="$work/tmp" "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -detect_leaks=1 -print_final_stats=1 \
  "$work/corpus" 2>&1 | tail -n 15
