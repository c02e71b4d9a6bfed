#!/usr/bin/env bash
# A board made in the editor with the real mouse: its properties accepted in "Dades globals",
# a root and a dozen areas drawn with the rubber band through the right-button menu, keys
# typed into some of them, the board saved (which writes its cover), then opened in use mode
# where automatic scanning types two of those keys into a real window. Screenshots go to tests/artifacts/.
set -euo pipefail
e2e_name=editor_draw
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

# A cover picture typed into the first field and "D'Acord" by Return. The new board's cover
# is automatic, so the cover is then composed from the areas as they are drawn.
open_new_board "$e2e_work/boards/FRASES.BMP"

# Board units are pixels of the board.
drag() {
  at "$1" "$2"
  xdotool mousedown 1
  at $((($1 + $3) / 2)) $((($2 + $4) / 2))
  sleep 0.1
  at "$3" "$4"
  xdotool mouseup 1
  sleep 0.2
}
click() {
  at "$1" "$2"
  xdotool click 1
  sleep 0.2
}

# The root: a drag from the bottom-left corner, longer across than up, spans the width of
# the picture's lower part (as the demo boards do, so that the target window stays in
# sight above the board in use mode).
drag 5 440 635 200
# A dozen areas in four columns and three rows; the strip below them stays the root's.
n=0
for row in 0 1 2; do
  for col in 0 1 2 3; do
    click 320 432 # the root becomes the current area
    at $((40 + col * 150)) $((230 + row * 70))
    xdotool click 3
    sleep 0.3
    xdotool key --clearmodifiers a # "&Añadir área" of the right-button menu
    sleep 0.2
    drag $((20 + col * 150)) $((210 + row * 70)) $((150 + col * 150)) $((270 + row * 70))
    n=$((n + 1))
    if [ "$n" = 1 ]; then import -window root "$e2e_artifacts/editor-first-area.png"; fi
  done
done
# Keys for the first row.
keys=(h i j k)
for col in 0 1 2 3; do
  click $((60 + col * 150)) 240
  xdotool type --delay 50 "${keys[col]}"
  sleep 0.2
done
import -window root "$e2e_artifacts/editor-drawn.png"

# "&Guardar ..." under a name: the board and, as its cover is automatic, its cover.
xdotool key --clearmodifiers alt+a
sleep 0.3
xdotool key --clearmodifiers g
wait_for 10 xdotool search --name 'Guardar|Desar|Enregistrar|Plantilla|Save' || true
sleep 0.5
xdotool type --delay 20 "$e2e_work/boards/DIBUIX.VXL"
xdotool key --clearmodifiers Return
wait_for 10 test -s "$e2e_work/boards/DIBUIX.VXL" || fail "the board was not saved"
wait_for 10 test -s "$e2e_work/boards/DIBUIX.BMP" || fail "the cover was not written"
sleep 0.5
import -window root "$e2e_artifacts/editor-saved.png"
grep -c . "$e2e_work/boards/DIBUIX.VXL" >/dev/null
[ "$(sed -n 4p "$e2e_work/boards/DIBUIX.VXL" | tr -d '\r ')" = 13 ] ||
  fail "the saved board does not hold the root and twelve areas"

# Saved again under the name the dialog proposes (its own): one dialog, no question.
save_dialog() { xdotool search --onlyvisible --name '^Enregistrar el fitxer de plantilla$' 2>/dev/null; }
question() { xdotool search --onlyvisible --name '^Vexil$' 2>/dev/null; }
open_save() {
  # "&Archivos" by the mouse: Alt+A is also the mnemonic of "&Accesibilidad".
  xdotool mousemove --sync --window "$wid" 30 8 click 1
  sleep 0.3
  xdotool key --clearmodifiers g
  wait_for 10 save_dialog || fail "the save dialog did not open"
  sleep 0.5
}
touch -d '2001-01-01' "$e2e_work/boards/DIBUIX.VXL"
open_save
xdotool key --clearmodifiers Return
saved_again() { (($(stat -c %Y "$e2e_work/boards/DIBUIX.VXL") > 978307200)); }
wait_for 10 saved_again || fail "the board was not saved again"
sleep 0.5
[ -z "$(save_dialog)$(question)" ] || fail "saving the board under its own name asked a question"
# Over another board that exists: the question comes, and its default (No) goes back to the
# dialog, which Escape closes; the other board is untouched.
printf 'other\r\n' >"$e2e_work/boards/ALTRE.VXL"
open_save
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 "$e2e_work/boards/ALTRE.VXL"
xdotool key --clearmodifiers Return
wait_for 10 question || fail "replacing another board asked nothing"
import -window root "$e2e_artifacts/editor-replace-question.png"
xdotool key --clearmodifiers Return
wait_for 10 save_dialog || fail "No to the question did not go back to the dialog"
[ -z "$(question)" ] || fail "the question stayed open"
xdotool key --clearmodifiers Escape
dialog_closed() { [ -z "$(save_dialog)" ]; }
wait_for 10 dialog_closed || fail "the save dialog did not close"
[ "$(cat "$e2e_work/boards/ALTRE.VXL")" = $'other\r' ] || fail "the other board was replaced"
stop_pid "$vexil_pid"

# Use mode: the board starts the recording window and automatic scanning picks the first
# area, then the next one; their keys arrive in the window.
target="/usr/bin/python3 $e2e_here/target_app.py --title Recorder --geometry 600x250+200+30 --out $e2e_work/target"
sed -i "5s|.*|\"$target\"\r|" "$e2e_work/boards/DIBUIX.VXL"
profile=$(write_profile SCAN.USR 2 15)
start_vexil "$profile" "$e2e_work/boards/DIBUIX.VXL"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
switch() { xdotool key --clearmodifiers space; }
first=""
deadline=$((SECONDS + 30))
# No red on the screen reads as an empty box ("0x0+...").
until [[ $first =~ ^[1-9][0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$ ]]; do
  ((SECONDS < deadline)) || fail "no area was highlighted"
  first=$(highlight_box)
done
first_x=${BASH_REMATCH[1]}
first_y=${BASH_REMATCH[2]}
# The window started last holds the focus until the board takes it back: a moment passes.
sleep 3
# Presses the switch while an area of the first row (keys h, i, j, k, 150 units or 240
# pixels apart) is highlighted and echoes that area's key.
pick_first_row() {
  local box deadline=$((SECONDS + 60))
  while ((SECONDS < deadline)); do
    box=$(highlight_box)
    if [[ $box =~ ^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[2] == first_y)); then
      local col=$(((BASH_REMATCH[1] - first_x + 120) / 240))
      switch
      echo "hijk" | cut -c$((col + 1))
      return 0
    fi
    sleep 0.05
  done
  return 1
}
typed=""
for n in 1 2; do
  letter=$(pick_first_row) || fail "the first row was never highlighted"
  typed+=$letter
  if [ "$n" = 1 ]; then import -window root "$e2e_artifacts/editor-board-in-use.png"; fi
  wait_for 10 grep -qx "$typed" "$e2e_work/target.txt" ||
    fail "the target holds '$(cat "$e2e_work/target.txt")', expected '$typed'"
  sleep 2 # the highlight leaves the area just picked
done
echo "typed by scanning on the drawn board: $(cat "$e2e_work/target.txt")"
echo "PASSED"
