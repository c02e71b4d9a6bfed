#!/usr/bin/env bash
# The recogniser and the program's own speech through a private PulseAudio server whose
# default source is the monitor of its null sink: "uno" said alone, and said 100 ms after
# the embedded speech engine has said an announcement into the same sink (the word's file
# starts with 100 ms of silence and is played as soon as the engine is done; bench/own_voice.cpp).
# Told of its own speech, the recogniser takes the word as well as in silence; untold, the
# announcement and the word are heard as one sound. TRIALS (default 5) trials of each.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
trials=${TRIALS:-5}
for tool in pulseaudio pactl espeak-ng sox; do
  command -v "$tool" >/dev/null || { echo "FAILED: $tool is missing (make deps)"; exit 1; }
done
work=$(mktemp -d /tmp/vexil-own-voice-XXXXXX)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

cat >"$work/default.pa" <<PA
load-module module-native-protocol-unix socket=$work/socket auth-anonymous=1
load-module module-null-sink sink_name=vexil_own_voice
set-default-sink vexil_own_voice
set-default-source vexil_own_voice.monitor
PA
HOME=$work pulseaudio --daemonize=no -n -F "$work/default.pa" --exit-idle-time=-1 \
  --use-pid-file=no --disable-shm=yes >"$work/log" 2>&1 &
pids+=($!)
export PULSE_SERVER=unix:$work/socket
for _ in $(seq 1 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || fail "the private PulseAudio server did not start"

say() {  # name text pitch speed
  espeak-ng -v es -p "$3" -s "$4" -w "$work/tmp.wav" "$2"
  sox "$work/tmp.wav" -r 16000 -c 1 "$work/$1.wav" pad 0.1 0.1
}
say uno1 uno 40 150; say uno2 uno 50 165; say uno3 uno 62 180
say tres1 tres 40 150; say tres2 tres 50 165; say tres3 tres 62 180
say uno uno 55 160

"$build/bin/own-voice" "$work" "$trials" 0 | tee "$work/out"
right() { awk -v w="$1" '$1 == w {print $3}' "$work/out"; }
silence=$(right silence) told=$(right told)
[ -n "$silence" ] && [ -n "$told" ] || fail "no result"
((silence >= trials - 1)) || fail "the word alone was taken only $silence times of $trials"
((told >= silence - 1)) || fail "after the announcement the word was taken $told times, alone $silence"
awk '$1 == "told" && $4 > 0 {exit 1}' "$work/out" || fail "a wrong label after the announcement"
echo "PASSED"
