#!/usr/bin/env bash
# Runs one benchmark once, in a quick mode, so that the test suite sees a benchmark that no
# longer runs: the scripts with a single run, their targets reported but not judged
# (VEXIL_BENCH_SMOKE=1; lost characters still fail), the Google Benchmark programs for a
# moment each, the recogniser's benchmark on a small set. Not a timing: bench/README.md
# says how each is run for its figures.
# Usage: bench/smoke.sh BUILD_DIR NAME      NAME: one of `names` below, or "listed" (every
#        script of bench/ is one of them, so a new one cannot go unrun).
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
name=${2:?benchmark name}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
export VEXIL_BENCH_SMOKE=1
names=(programs startup_vs_onboard typing switch_latency typing_wayland wayland_gnome_typing voice_accuracy)
# Scripts that are no benchmark of their own: the texts typed, the recogniser's test set and
# the reading of its traces (both run by voice_accuracy here), this file.
helpers=(bench_texts.py voice_testset.sh voice_limits.py smoke.sh)

case $name in
  listed)
    missing=0
    for f in "$here"/*.sh "$here"/*.py; do
      base=$(basename "$f")
      stem=${base%.*}
      [[ " ${helpers[*]} " == *" $base "* || " ${names[*]} " == *" $stem "* ]] && continue
      echo "bench/$base has no quick run in bench/smoke.sh"
      missing=1
    done
    exit $missing ;;
  programs)
    for program in "$here"/bench_*.cpp; do
      program=$(basename "$program" .cpp)
      echo "== $program"
      QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
        "$build/bin/$program" --benchmark_min_time=0.001 >/dev/null
    done ;;
  startup_vs_onboard) bash "$here/startup_vs_onboard.sh" "$build" 1 ;;
  typing) python3 "$here/typing.py" "$build" 1 ;;
  switch_latency) python3 "$here/switch_latency.py" "$build" 2 ;;
  typing_wayland) python3 "$here/typing_wayland.py" "$build" 1 us ;;
  wayland_gnome_typing) bash "$here/wayland_gnome_typing.sh" "$build" 1 ;;
  voice_accuracy)
    work=$(mktemp -d /tmp/vexil-voice-smoke-XXXXXX)
    trap 'rm -rf "$work"' EXIT
    bash "$here/voice_testset.sh" "$work" smoke >/dev/null
    if ! VOICE_ACCURACY_TRACE=1 "$build/bin/voice-accuracy" "$work/manifest.tsv" 2> "$work/smoke.trace"; then
        tail -n 20 "$work/smoke.trace" >&2  # its error, among the trace
        exit 1
    fi
    # The trace read again under the limits written in voice_limits.py: they must still be
    # the recogniser's. Debian's own Python, where python3-numpy installs.
    /usr/bin/python3 "$here/voice_limits.py" --check "$work/smoke.trace" ;;
  *) echo "unknown benchmark: $name (one of: ${names[*]} listed)" >&2; exit 2 ;;
esac
