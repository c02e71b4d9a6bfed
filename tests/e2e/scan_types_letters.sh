#!/usr/bin/env bash
# Automatic scanning on the letter board types into a real window: the highlight steps
# through the rows, Space on the board picks a row, then a letter, and the letter arrives in
# the target program the board started. Screenshots of use mode (with the highlight) and of
# edit mode go to tests/artifacts/.
set -euo pipefail
e2e_name=scan_types_letters
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

board=$(board_with_target LLETRES.VXL "$e2e_work/target")
profile=$(write_profile SCAN.USR 2 15)
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
wait_for 10 board_focused || fail "the board did not take the focus back from the target"
wid=$(vexil_window)

# Rows are 33 units high (53 pixels on this screen), letters 80 units wide (128 pixels).
box_now=""
# Waits until the highlight covers `width`x~53 at column `col` of row `row`; row 0's top
# is learnt from the first row highlighted.
row0_top=""
wait_highlight() {
  local width=$1 row=$2 col=$3 deadline=$((SECONDS + 40))
  while ((SECONDS < deadline)); do
    box_now=$(highlight_box)
    if [[ $box_now =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
      local w=${BASH_REMATCH[1]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
      if [ -z "$row0_top" ] && ((w > 1000)); then
        # The scan starts on the first row.
        row0_top=$y
      fi
      if [ -n "$row0_top" ] && ((w > width - 6 && w < width + 6)); then
        local r=$(((y - row0_top + 26) / 53)) c=$(((x + 64) / 128))
        ((width > 1000)) && c=0
        ((r == row && c == col)) && return 0
      fi
    fi
    sleep 0.05
  done
  return 1
}

press_switch() {
  xdotool key --clearmodifiers space
}

# h (row 0, column 7), o (1, 6), l (1, 3), a (0, 0)
typed=""
for entry in "h 0 7" "o 1 6" "l 1 3" "a 0 0"; do
  read -r letter row col <<<"$entry"
  wait_highlight 1024 "$row" 0 || fail "row $row was never highlighted (last: $box_now)"
  if [ "$letter" = h ]; then import -window root "$e2e_artifacts/use-mode-highlight.png"; fi
  press_switch
  wait_highlight 128 "$row" "$col" || fail "letter $letter was never highlighted (last: $box_now)"
  press_switch
  typed+=$letter
  wait_for 10 grep -qx "$typed" "$e2e_work/target.txt" ||
    fail "the target holds '$(cat "$e2e_work/target.txt")', expected '$typed'"
done
echo "typed by scanning: $(cat "$e2e_work/target.txt")"

# "&Sortir" of use mode (Alt+S, "&Salir") goes back to edit mode: the menus and the editor.
xdotool windowactivate --sync "$wid" key --clearmodifiers alt+s
wait_for 10 sh -c '[ -z "$(xdotool search --name "^Recorder$")" ]' ||
  fail "leaving use mode did not close the started program"
sleep 0.5
import -window root "$e2e_artifacts/edit-mode.png"
geometry=$(xdotool getwindowgeometry "$wid" | awk '/Geometry/ {print $2}')
[ "${geometry%x*}" -ge 640 ] || fail "edit mode shows the board at design size ($geometry)"
echo "PASSED"
