#!/usr/bin/env bash
# Adds to each committed corpus the inputs of a long run (long.sh) that raise coverage,
# with libFuzzer's -merge=1: the committed inputs stay, a new one comes in only when it
# reaches code or features they do not.
# Usage: merge.sh BIN_DIR CORPUS_DIR OUT [TARGET...]
set -euo pipefail
bin_dir=$1 corpus_dir=$2 out=$3
shift 3
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in "$out"/fuzz_*/corpus; do [ -d "$d" ] && targets+=("$(basename "$(dirname "$d")")"); done
fi
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
  mkdir -p "$corpus_dir/$t"
  before=$(find "$corpus_dir/$t" -type f | wc -l)
  "$bin_dir/$t" -merge=1 -timeout=60 -rss_limit_mb=2048 -max_len=65536 \
    "$corpus_dir/$t" "$out/$t/corpus" >"$out/$t/merge.log" 2>&1
  after=$(find "$corpus_dir/$t" -type f | wc -l)
  echo "$t: $before -> $after inputs, $(du -sk "$corpus_dir/$t" | cut -f1) KB"
done
