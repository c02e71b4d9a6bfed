#!/usr/bin/env bash
# Voice control through the real capture path: a private PulseAudio server whose default
# source is the monitor of a null sink, into which the test plays words spoken by
# espeak-ng. The voice dialog's training learns "uno" for sound 1 and "tres" for TEST from
# three takes each; then automatic scanning on the letter board is driven by saying "uno":
# once to pick the first row, once to pick its first letter, which arrives in the target
# program. Screenshots of the dialog and the training window go to tests/artifacts/.
set -euo pipefail
e2e_name=voice_scan_types
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
for tool in pulseaudio paplay pactl espeak-ng sox; do
  command -v "$tool" >/dev/null || fail "$tool is missing (make deps)"
done

# --- the private sound server
start_pulse vexil_voice_test

# --- the words
say() {  # name text pitch speed
  espeak-ng -v es -p "$3" -s "$4" -w "$pa/tmp.wav" "$2"
  sox "$pa/tmp.wav" -r 16000 -c 1 "$pa/$1.wav" pad 0.1 0.1
}
say uno1 uno 40 150; say uno2 uno 50 165; say uno3 uno 62 180
say tres1 tres 40 150; say tres2 tres 50 165; say tres3 tres 62 180
say uno uno 55 160
speak() { paplay "$pa/$1.wav"; }

start_x
# Every sound judged goes to vexil.log, shown if the test fails.
export VEXIL_VOICE_TRACE=1
voice_fail() {
  grep '^voice:' "$e2e_work/vexil.log" >&2 || true
  fail "$@"
}
board=$(board_with_target LLETRES.VXL "$e2e_work/target")
profile=$(write_profile VEU.USR 5 25)
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
wid=$(vexil_window)

# "&Accesibilidad" > "&Voz": the voice dialog.
# (a click on the menu bar: keys typed on the board are the board's)
xdotool windowactivate --sync "$wid"
xdotool mousemove --window "$wid" 45 9 click 1
sleep 0.8
xdotool key --clearmodifiers v
wait_for 10 xdotool search --name '^Control por voz$' || fail "the voice dialog did not open"
sleep 0.5
import -window root "$e2e_artifacts/voice-dialog.png"

# "&Entrenamiento": three takes of "uno", then three of "tres".
xdotool key --clearmodifiers alt+e
wait_for 10 xdotool search --name '^Entrenamiento$' || fail "the training window did not open"
sleep 0.8
for take in uno1 uno2 uno3 tres1 tres2; do speak "$take"; sleep 0.7; done
speak tres3
sleep 1
import -window root "$e2e_artifacts/voice-training.png"
xdotool key --clearmodifiers Escape
wait_for 10 sh -c '[ -z "$(xdotool search --name "^Entrenamiento$")" ]' ||
  fail "the training window did not close"
# "Aceptar": listening starts on the board.
sleep 0.5
xdotool key --clearmodifiers Return
wait_for 10 sh -c '[ -z "$(xdotool search --name "^Control por voz$")" ]' ||
  fail "the voice dialog did not close"

box_now=""
# Waits until the highlight is `width` wide (the first row: the whole board; a letter: 128).
wait_width() {
  local width=$1 deadline=$((SECONDS + 40))
  while ((SECONDS < deadline)); do
    box_now=$(highlight_box)
    if [[ $box_now =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
      local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]}
      # A row or a letter is 53 pixels high; the first one starts at the left edge.
      ((w > width - 6 && w < width + 6 && h < 80 && x < 40)) && return 0
    fi
    sleep 0.05
  done
  return 1
}
wait_width 1024 || fail "the first row was never highlighted (last: $box_now)"
import -window root "$e2e_artifacts/voice-use-mode.png"
# "uno" on a row, then "uno" on its first letter. A take the recogniser rejects (it is strict,
# so that noise selects nothing) only lets the scan go round: the next round tries again.
for attempt in 1 2 3; do
  wait_width 1024 || voice_fail "no row was highlighted (last: $box_now)"
  speak uno
  wait_width 128 && break
done
for attempt in 1 2 3; do
  wait_width 128 || voice_fail "the first letter of the row was never highlighted (last: $box_now)"
  # A highlighted letter says its name; the recogniser hears it too (the sound server's
  # monitor is its microphone), so "uno" waits until the name has been said, as a person
  # would, or the two would be heard as one sound.
  sleep 1
  speak uno
  wait_for 8 grep -q . "$e2e_work/target.txt" && break
done
grep -qxE 'a|i|q|y|à' "$e2e_work/target.txt" ||
  voice_fail "the target holds '$(cat "$e2e_work/target.txt" 2>/dev/null)', expected the first letter of a row"
echo "typed by voice: $(cat "$e2e_work/target.txt")"
echo "PASSED"
