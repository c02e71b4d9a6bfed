#!/usr/bin/env bash
# Where the target application goes beside a board that fills the screen: on the screen,
# in its bottom third over the board, seen above the board while the board scans and keeps
# the focus, and never kept above other windows. A screenshot goes to tests/artifacts/.
set -euo pipefail
e2e_name=placement
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

# The letter board with its frame (area 1) grown to the whole reference board.
board=$(board_with_target LLETRES.VXL "$e2e_work/target")
sed -i '19s/.*/ 0\r/' "$board"
profile=$(write_profile SCAN.USR 2 15)
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
wait_for 10 board_focused || fail "the board did not take the focus back from the target"
target=$(xdotool search --name '^Recorder$' | head -n1)
sleep 1
import -window root "$e2e_artifacts/placement-full-board.png"

# The window as the X server has it (xdotool counts the frame twice under openbox).
read -r X Y WIDTH HEIGHT < <(xwininfo -id "$target" |
  awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
echo "target at $X,$Y ${WIDTH}x$HEIGHT"
((X >= 0 && Y >= 0 && X + WIDTH <= 1024 && Y + HEIGHT <= 768)) || fail "the target is not whole on the screen"
((Y >= 768 / 2 && HEIGHT >= 768 / 5)) || fail "the target is not in the bottom third"
xprop -id "$target" _NET_WM_STATE | grep -q ABOVE && fail "the target is kept above other windows"
# Above the board in the stacking order, so that what is typed is seen.
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
board_id=$(printf '0x%x' "$(vexil_window)")
target_id=$(printf '0x%x' "$target")
pos() { local i=0 w; for w in $stacking; do [ "$((w))" = "$(($1))" ] && echo $i; i=$((i + 1)); done; }
(($(pos "$target_id") > $(pos "$board_id"))) || fail "the board covers the target: $stacking"
# A row, then a letter: typed into the target, which the board covers no more afterwards.
# (Presses a step and a half apart until a letter arrives: a row, then one of its letters.)
for _ in 1 2 3 4 5 6; do
  wait_for 5 board_focused || fail "the board lost the focus to the target"
  xdotool key space
  sleep 1.7
  [ -s "$e2e_work/target.txt" ] && break
done
[ -s "$e2e_work/target.txt" ] || fail "nothing was typed into the target"
sleep 1
stacking=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
(($(pos "$target_id") > $(pos "$board_id"))) || fail "after typing, the board covers the target: $stacking"
import -window root "$e2e_artifacts/placement-typed.png"

# The same target started by a board's command, in mouse mode: it too ends in the bottom
# third, whether it settles its own geometry (Tk puts its window back where it asked to be
# once the window manager has framed it) before the board places it or after.
stop_pid "$vexil_pid"
run_board="$e2e_work/boards/RUN.VXL"
printf ' 2\r\n 1\r\n\r\n 2\r\n""\r\n 0\r\n""\r\n""\r\n""\r\n""\r\n""\r\n 1\r\n 0\r\n 0\r\n 0\r\n 0\r\n 100\r\n' >"$run_board"
for keys in "" "{|Executa /usr/bin/python3 $e2e_here/target_app.py --title Started --geometry 600x250+200+30 --out $e2e_work/started}"; do
  printf ' 0\r\n 0\r\n 640\r\n 445\r\n %d\r\n 0\r\n""\r\n""\r\n"%s"\r\n""\r\n 0\r\n 0\r\n' "${keys:+1}" "$keys" >>"$run_board"
done
start_vexil "$(write_profile MOUSE.USR 0 10)" "$run_board"
wait_for 20 vexil_window || fail "the board window did not appear again"
sleep 1
xdotool mousemove 512 400 click 1
wait_for 20 grep -q ready "$e2e_work/started.log" || fail "the board's command did not start the target"
sleep 1.5
started=$(xdotool search --name '^Started$' | head -n1)
read -r X Y WIDTH HEIGHT < <(xwininfo -id "$started" |
  awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}')
echo "started by the board at $X,$Y ${WIDTH}x$HEIGHT"
import -window root "$e2e_artifacts/placement-run-command.png"
((Y >= 768 / 2 && X + WIDTH <= 1024 && Y + HEIGHT <= 768)) || fail "the target the board started is not in the bottom third"
echo "PASS"
