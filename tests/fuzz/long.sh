#!/usr/bin/env bash
# Long fuzz runs: every libFuzzer target (or those named) for SECONDS each, on a copy of its
# committed corpus, JOBS targets at a time. What a run finds stays under OUT/<target>/:
#   corpus/    the copy of the committed corpus and every input that raised coverage
#   findings/  crash-*, leak-*, timeout-*, oom-* (and slow-unit-*, which are no findings)
#   log        libFuzzer's output
# A target that stops on a finding is started again on its grown corpus until its time is
# used up, so that one finding does not hide the next. At the end one line per target:
# inputs run, peak memory (the largest resident size libFuzzer reported), the corpus before
# and after, findings and slow inputs. Exits non-zero when anything was found.
#
# Usage: long.sh BIN_DIR CORPUS_DIR OUT SECONDS JOBS [TARGET...]
# `make fuzz-long` runs it with FUZZ_TIME (default 600), FUZZ_JOBS (default 1) and
# FUZZ_TARGETS (default all); FUZZ_TIMEOUT (default 60 s) is libFuzzer's -timeout, the
# only bound on wall time: one input's work is bounded by counts inside the program.
set -uo pipefail
bin_dir=$1 corpus_dir=$2 out=$3 seconds=${4:-600} jobs=${5:-1}
shift 5 || shift $#
timeout=${FUZZ_TIMEOUT:-60}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for b in "$bin_dir"/fuzz_*; do [ -x "$b" ] && targets+=("$(basename "$b")"); done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $bin_dir: run 'make fuzz'" >&2
  exit 1
fi

# Inputs work in a temporary folder; a memory-backed one keeps the many small writes (undo
# snapshots are synced to disk) from waiting on the disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export QT_QPA_PLATFORM=offscreen

mkdir -p "$out"

run_target() {
  local name=$1 dir="$out/$1" bin="$bin_dir/$1"
  rm -rf "$dir"
  mkdir -p "$dir/corpus" "$dir/findings"
  [ -d "$corpus_dir/$name" ] && cp -r "$corpus_dir/$name"/. "$dir/corpus"/
  local files_before
  files_before=$(find "$dir/corpus" -type f | wc -l)
  local tmp start now left runs=0
  tmp=$(mktemp -d)
  start=$(date +%s)
  : >"$dir/log"
  : >"$dir/rss"
  while :; do
    now=$(date +%s)
    left=$((seconds - (now - start)))
    [ "$left" -ge 5 ] || break
    runs=$((runs + 1))
    echo "=== run $runs: $left s" >>"$dir/log"
    TMPDIR=$tmp "$bin" -max_total_time="$left" -timeout="$timeout" -rss_limit_mb=2048 \
      -max_len=65536 -detect_leaks=1 -print_final_stats=1 \
      -artifact_prefix="$dir/findings/" "$dir/corpus" >>"$dir/log" 2>&1 &
    local pid=$! ticks=0
    # The resident size every 15 s, so that growth over the run shows ("seconds MB").
    while kill -0 "$pid" 2>/dev/null; do
      sleep 1
      ticks=$((ticks + 1))
      if [ $((ticks % 15)) -eq 0 ]; then
        awk -v t=$(( $(date +%s) - start )) '/^VmRSS:/ { print t, int($2 / 1024) }' \
          "/proc/$pid/status" >>"$dir/rss" 2>/dev/null
      fi
    done
    wait "$pid"
    local rc=$?
    rm -rf "${tmp:?}"/* 2>/dev/null
    [ "$rc" -eq 0 ] && break
    # A target that fails at once (a committed input that crashes) is not started again.
    [ $(( $(date +%s) - now )) -ge 5 ] || break
  done
  rm -rf "$tmp"

  # Inputs run: each process's last status line ("#N ...") or its final count.
  local inputs peak findings slow files_after
  inputs=$(awk '/^=== run/ { total += last; last = 0 }
                /^#[0-9]+/ { n = substr($1, 2) + 0; if (n > last) last = n }
                /^stat::number_of_executed_units:/ { if ($2 + 0 > last) last = $2 + 0 }
                END { print total + last }' "$dir/log")
  peak=$(awk '{ for (i = 1; i < NF; i++) if ($i == "rss:") { v = $(i + 1) + 0; if (v > m) m = v } }
              /^stat::peak_rss_mb:/ { if ($2 + 0 > m) m = $2 + 0 }
              END { print m + 0 }' "$dir/log")
  # The sampled resident size a quarter of the way through and at the end.
  local rss_quarter rss_end
  rss_quarter=$(awk -v q=$((seconds / 4)) '$1 >= q { print $2; exit }' "$dir/rss")
  rss_end=$(awk 'END { print $2 }' "$dir/rss")
  findings=$(find "$dir/findings" -type f ! -name 'slow-unit-*' | wc -l)
  slow=$(find "$dir/findings" -type f -name 'slow-unit-*' | wc -l)
  files_after=$(find "$dir/corpus" -type f | wc -l)
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "$inputs" "$peak" \
    "${rss_quarter:--} -> ${rss_end:--}" "$files_before -> $files_after" "$findings" "$slow" \
    "$(( $(date +%s) - start ))" >"$dir/summary"
  echo "$name: done, $inputs inputs, peak ${peak} MB, $findings findings" >&2
}

echo "fuzzing ${#targets[@]} targets for $seconds s each, $jobs at a time; output in $out" >&2
for t in "${targets[@]}"; do
  if [ ! -x "$bin_dir/$t" ]; then
    echo "fuzz target $bin_dir/$t is missing: run 'make fuzz'" >&2
    exit 1
  fi
done
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  run_target "$t" &
done
wait

{
  printf '%-22s %11s %8s %14s %13s %9s %5s %8s\n' target inputs "peak MB" "rss 1/4->end" \
    "corpus files" findings slow seconds
  for t in "${targets[@]}"; do
    IFS=$'\t' read -r name inputs peak rss corpus findings slow secs <"$out/$t/summary"
    printf '%-22s %11s %8s %14s %13s %9s %5s %8s\n' "$name" "$inputs" "$peak" "$rss" "$corpus" \
      "$findings" "$slow" "$secs"
  done
} | tee "$out/summary.txt"
findings=0
for t in "${targets[@]}"; do
  f=$(cut -f6 "$out/$t/summary")
  findings=$((findings + f))
done
if [ "$findings" -gt 0 ]; then
  echo "findings: $findings (in $out/*/findings)" >&2
  exit 1
fi
