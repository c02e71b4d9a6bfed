#!/usr/bin/env bash
# Access that adapts to the person, on the real program: automatic scanning with an
# acceptance time and auditory scanning, driven by key holds (xdotool keydown/keyup) into
# a real target; then dwell selection in mouse mode. Screenshots of the fill on the frame
# and of the dwell ring go to tests/artifacts/.
set -euo pipefail
e2e_name=adapt_hold_dwell
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

board=$(board_with_target LLETRES.VXL "$e2e_work/target")
profile=$(write_profile HOLD.USR 2 25)
printf '[Adaptacio]\r\nAcceptacio= 1000\r\nGuiaAuditiva= 1\r\n' >>"$profile"
# The cue voice writes what it says into a file: there is no sound server here.
export VEXIL_CUE_WAV="$e2e_work/cue.wav"
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
wait_for 10 board_focused || fail "the board did not take the focus back from the target"

# Waits until the highlight frame moves to a new place (a box other than $1) whose width is
# within 6 pixels of $2; prints the box.
next_highlight() {
  local old=$1 width=$2 deadline=$((SECONDS + 30)) box
  while ((SECONDS < deadline)); do
    box=$(highlight_box)
    if [[ $box != "$old" && $box =~ ^([0-9]+)x([0-9]+)\+ ]] &&
       ((BASH_REMATCH[1] > width - 6 && BASH_REMATCH[1] < width + 6)); then
      echo "$box"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# A tap shorter than the acceptance time picks nothing: the rows go on.
row=$(next_highlight "" 1024) || fail "no row was highlighted"
xdotool key --clearmodifiers --delay 300 space
row=$(next_highlight "$row" 1024) || fail "the scan stopped after a short tap"

# Held: the frame fills, and the row counts once the time is reached, still held.
row=$(next_highlight "$row" 1024) || fail "no next row"
xdotool keydown space
sleep 0.6
import -window root "$e2e_artifacts/adapt-acceptance-fill.png"
sleep 0.8
xdotool keyup space
letter=$(next_highlight "$row" 128) || fail "holding the switch did not pick the row (last: $(highlight_box))"

# The letters are said by the cue voice.
wait_for 10 test -s "$VEXIL_CUE_WAV" || fail "the cue voice said nothing"

# A letter, held the same way, types into the target.
letter=$(next_highlight "$letter" 128) || fail "no next letter"
xdotool keydown space
sleep 1.3
xdotool keyup space
wait_for 10 grep -qx '[a-zA-Z]' "$e2e_work/target.txt" ||
  fail "the target holds '$(cat "$e2e_work/target.txt" 2>/dev/null)'"
typed=$(cat "$e2e_work/target.txt")
echo "typed with an acceptance time: $typed"
stop_pid "$vexil_pid"
wait_for 10 sh -c '[ -z "$(xdotool search --name "^Recorder$")" ]' || true

# Dwell: mouse mode, resting 2 s on a letter picks it.
: >"$e2e_work/target.txt"
profile=$(write_profile DWELL.USR 0 0)
printf '[Adaptacio]\r\nPermanencia= 2000\r\nPermanenciaRadi= 10\r\n' >>"$profile"
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear again"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start again"
wid=$(vexil_window)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The board is 200 units high (322 pixels) under the menu bar; letters are 128 x 53 pixels.
top=$((Y + HEIGHT - 322))
xdotool mousemove $((X + 3 * 128 + 64)) $((top + 53 + 26))
sleep 1.0
xdotool mousemove_relative 3 2
sleep 0.2
import -window root "$e2e_artifacts/adapt-dwell-ring.png"
wait_for 10 grep -qx '[a-zA-Z]' "$e2e_work/target.txt" ||
  fail "resting on a letter typed nothing ('$(cat "$e2e_work/target.txt" 2>/dev/null)')"
echo "typed by dwelling: $(cat "$e2e_work/target.txt")"
echo "PASSED"
