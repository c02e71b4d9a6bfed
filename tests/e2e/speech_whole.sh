#!/usr/bin/env bash
# Automatic scanning with the program's own speech, on the real sound path: a private
# PulseAudio server whose null sink is recorded (parec on its monitor) while the board scans
# at one step a second. The first area announces a sentence of about three seconds, the
# second says "tres" and, selected, reads a longer sentence. Each must be heard whole: the
# sound recorded for it lasts as long as espeak-ng's own rendering of the same text, not the
# step it was announced in.
set -euo pipefail
e2e_name=speech_whole
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
for tool in pulseaudio parec pactl espeak-ng python3; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps)"
done

start_pulse vexil_speech_test

announced="Avui fa un dia molt bonic per anar a passejar pel parc amb els amics"
selected="Tinc set i voldria un got de aigua fresca ben aviat si us plau"
board=$e2e_work/boards/PARLA.VXL
python3 "$e2e_here/lib/grid_board.py" "$board" --sound "2=$announced" --sound "3=tres" \
  --keys "a,{|Llegir $selected},c,d"
profile=$(write_profile PARLA.USR 2 10)

# What each text lasts as espeak-ng says it in the board's alternate voice, on its own.
full_length() {  # text
  espeak-ng -v ca+f2 -s 175 -w "$pa/full.wav" "$1"
  python3 "$e2e_here/lib/speech_spans.py" "$pa/full.wav" 22050 400 |
    awk 'NR == 1 {s = $1} {e = $1 + $2} END {print e - s}'
}
want_announced=$(full_length "${announced^^}")
want_selected=$(full_length "$selected")

start_x
parec -d vexil_speech_test.monitor --rate=16000 --channels=1 --format=s16le --raw \
  >"$pa/out.raw" &
e2e_pids+=($!)
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wid=$(vexil_window)
xdotool windowactivate --sync "$wid" 2>/dev/null || true

# The second area (top right) highlighted: Space selects it.
deadline=$((SECONDS + 40))
pressed=""
while ((SECONDS < deadline)); do
  box=$(highlight_box)
  if [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] &&
     ((BASH_REMATCH[1] < 600 && BASH_REMATCH[3] > 400 && BASH_REMATCH[4] < 300)); then
    xdotool key --window "$wid" space
    pressed=yes
    break
  fi
  sleep 0.1
done
[ -n "$pressed" ] || fail "the second area was never highlighted (last: ${box:-none})"
sleep 8
stop_pid "$vexil_pid"

python3 "$e2e_here/lib/speech_spans.py" "$pa/out.raw" 16000 400 >"$pa/spans"
echo "spans heard (start, length in ms):"; cat "$pa/spans"
echo "whole: announcement $want_announced ms, selection $want_selected ms"
# The two longest spans are the two sentences; each lasts at least 90 % of its whole
# length (a cut one lasts about a step).
read -r got_a got_b < <(sort -k2 -n -r "$pa/spans" | head -n2 | sort -k1 -n | awk '{printf "%s ", $2} END {print ""}')
[ -n "${got_b:-}" ] || fail "fewer than two sentences were heard"
for pair in "announcement $got_a $want_announced" "selection $got_b $want_selected"; do
  read -r what got want <<<"$pair"
  ((got * 10 >= want * 9)) || fail "the $what was cut: $got ms heard of $want ms"
done
echo "PASSED"
