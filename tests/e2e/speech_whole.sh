#!/usr/bin/env bash
# Automatic scanning with the program's own speech, on the real sound path: a private
# PulseAudio server whose null sink is recorded (parec on its monitor) while the board scans
# at one step a second. The first area announces a sentence of about three seconds, the
# third says "tres" and, selected, reads a longer sentence; the second and the fourth have
# nothing to say, so that a pause parts each reading from the next. Each must be heard
# whole: the sound recorded for it lasts as long as espeak-ng's own rendering of the same
# text, not the step it was announced in; and the selection is heard soon after the press.
#
# The recording keeps time: a stream of silence keeps the null sink running between the
# readings (an idle null sink gives its monitor nothing, and the pauses would vanish from
# the recording), the recorder asks for a short latency (with parec's default the null sink
# renders two seconds at a time for it: every reading seemed to start two seconds late, and
# the first was shortened), the program starts once the recording has begun (the null sink
# may render a last long block before it follows the short latency, and the recorder then
# hears nothing for up to two seconds), and the moment of the press is read off the
# recording's length.
set -euo pipefail
e2e_name=speech_whole
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
for tool in pulseaudio parec pacat pactl espeak-ng python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps)"
done

start_pulse vexil_speech_test

announced="Avui fa un dia molt bonic per anar a passejar pel parc amb els amics"
selected="Tinc set i voldria un got de aigua fresca ben aviat si us plau"
board=$e2e_work/boards/PARLA.VXL
python3 "$e2e_here/lib/grid_board.py" "$board" --sound "2=$announced" --sound "4=tres" \
  --keys "a,,{|Llegir $selected},"
profile=$(write_profile PARLA.USR 2 10)

# What each text lasts as espeak-ng says it in the board's alternate voice, on its own.
full_length() {  # text
  espeak-ng -v ca+f2 -s 175 -w "$pa/full.wav" "$1"
  python3 "$e2e_here/lib/speech_spans.py" "$pa/full.wav" 22050 400 |
    awk 'NR == 1 {s = $1} {e = $1 + $2} END {print e - s}'
}
want_announced=$(full_length "${announced^^}")
want_selected=$(full_length "$selected")

# Whether the server has a stream playing.
playing() { pactl list short sink-inputs | grep -q .; }

start_x
pacat --latency-msec=20 --rate=16000 --channels=1 --format=s16le --raw </dev/zero &
e2e_pids+=($!)
wait_for 10 playing || fail "the stream of silence did not start"
parec -d vexil_speech_test.monitor --latency-msec=20 --rate=16000 --channels=1 --format=s16le --raw \
  >"$pa/out.raw" &
e2e_pids+=($!)
wait_for 10 test -s "$pa/out.raw" || fail "the recorder did not start"
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wid=$(vexil_window)
xdotool windowactivate --sync "$wid" 2>/dev/null || true

# The third area (bottom left) highlighted: Space selects it.
deadline=$((SECONDS + 40))
pressed=""
while ((SECONDS < deadline)); do
  box=$(highlight_box)
  if [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] &&
     ((BASH_REMATCH[1] < 600 && BASH_REMATCH[3] < 300 && BASH_REMATCH[4] > 200)); then
    pressed_at=$(($(stat -c %s "$pa/out.raw") / 32))  # 16 000 samples of 2 bytes a second
    xdotool key --window "$wid" space
    pressed=yes
    break
  fi
  sleep 0.1
done
[ -n "$pressed" ] || fail "the third area was never highlighted (last: ${box:-none})"
sleep 8
stop_pid "$vexil_pid"

python3 "$e2e_here/lib/speech_spans.py" "$pa/out.raw" 16000 150 >"$pa/spans"
echo "spans heard (start, length in ms):"; cat "$pa/spans"
echo "whole: announcement $want_announced ms, selection $want_selected ms; pressed at $pressed_at ms"
# The first span is the announcement, followed by the silent area's step. The selection is
# the span under way at the press or the first after it; what was heard of it is counted
# from the press (the fragment of "tres" before the press joins it without a pause).
# Each lasts at least 90 % of its whole length (a cut one lasts about a step).
read -r _ a_len < <(head -n1 "$pa/spans")
read -r s_start s_len < <(awk -v p="$pressed_at" '$1 + $2 > p {print; exit}' "$pa/spans")
[ -n "${s_len:-}" ] || fail "nothing was heard after the press"
s_end=$((s_start + s_len))
((s_start < pressed_at)) && s_start=$pressed_at
for pair in "announcement $a_len $want_announced" "selection $((s_end - s_start)) $want_selected"; do
  read -r what got want <<<"$pair"
  ((got * 10 >= want * 9)) || fail "the $what was cut: $got ms heard of $want ms"
done
# A whole selection ends its own length after it started.
delay=$((s_end - want_selected - pressed_at))
echo "the selection was heard $delay ms after the press"
((delay <= 1000)) || fail "the selection was heard $delay ms after the press"
echo "PASSED"
