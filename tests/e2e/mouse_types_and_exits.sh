#!/usr/bin/env bash
# Mouse mode: clicks on letters of the board type them into the target window, accented
# letters included. A second start of the program only says that one is running. "&Sortir"
# of the file menu ends the program.
set -euo pipefail
e2e_name=mouse_types_and_exits
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

board=$(board_with_target LLETRES.VXL "$e2e_work/target")
profile=$(write_profile MOUSE.USR 0 10)
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
wid=$(vexil_window)
sleep 0.5

# Where the board lies: the outline between the fourth and fifth letter columns (x = 512 on
# this 1024 x 768 screen, give or take the window's border) is the longest black line of that pixel column, and starts at the
# board's top. Rows are 53.1 pixels high, columns 128 wide.
board_top=$(import -window root -crop 5x768+510+0 txt:- 2>/dev/null | awk -F'[,: ]+' '
  /^[0-9]/ { c = $1; black = ($0 ~ /#000000/)
             if (black) { if (!run[c]) start[c] = $2; run[c]++ } else run[c] = 0
             if (run[c] > best) { best = run[c]; top = start[c] } }
  END { print top + 0 }')
((board_top > 300)) || fail "the board was not found on the screen (top $board_top)"
click_key() {
  local row=$1 col=$2
  xdotool mousemove $((col * 128 + 64)) $((board_top + row * 53 + 26)) click 1
}

typed=""
# s (row 2, column 2), í (4, 3), space (5, 0), n (1, 5)
for entry in "s 2 2" "í 4 3" "_ 5 0" "n 1 5"; do
  read -r letter row col <<<"$entry"
  [ "$letter" = _ ] && letter=" "
  click_key "$row" "$col"
  typed+=$letter
  wait_for 10 grep -qx "$typed" "$e2e_work/target.txt" ||
    fail "the target holds '$(cat "$e2e_work/target.txt")', expected '$typed'"
done
echo "typed with the mouse: $(cat "$e2e_work/target.txt")"

# A second start shows "Vexil ya se está ejecutando!" and ends at once.
"$e2e_build/bin/vexil" >"$e2e_work/second.log" 2>&1 &
second=$!
e2e_pids+=($second)
wait_for 10 sh -c "xdotool search --onlyvisible --pid $second --name '^Vexil\$' | grep -q ." ||
  fail "the second start showed no message"
box=$(xdotool search --pid $second --name '^Vexil$' | head -n1)
sleep 0.3
import -window root "$e2e_artifacts/second-instance.png"
xdotool windowactivate --sync "$box" key Return
wait_for 10 sh -c "! kill -0 $second 2>/dev/null" || fail "the second start did not end"
[ "$(xdotool search --name '^Vexil - ' | wc -l)" -eq 1 ] || fail "a second board window opened"

# Back to edit mode, then "&Sortir" of the file menu ends the program.
xdotool windowactivate --sync "$wid" key --clearmodifiers alt+s
wait_for 10 sh -c "xdotool search --name '^Recorder\$' | grep -q . && exit 1 || exit 0" ||
  fail "leaving use mode did not close the started program"
xdotool windowactivate --sync "$wid" key --clearmodifiers alt+a
sleep 0.3
xdotool key --clearmodifiers s
wait_for 10 sh -c "! kill -0 $vexil_pid 2>/dev/null" || fail "Sortir did not end the program"
echo "PASSED"
