#!/usr/bin/env bash
# The joystick item of the access menu on a machine without a joystick: the dialog
# "Josytick" opens and says the mouse takes the stick's place; Escape ("Cancelar") closes
# it; accepted, the mouse moved over the screen steps the highlight over the board
# ("Multimouse"). A screenshot of the dialog goes to tests/artifacts/joystick-dialog.png.
set -euo pipefail
e2e_name=joystick_dialog
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

board=$(board_with_target LLETRES.VXL "$e2e_work/target")
profile=$(write_profile MOUSE.USR 0 10)
start_vexil "$profile" "$board"
wait_for 20 vexil_window || fail "the board window did not appear"
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
wid=$(vexil_window)

dialog_window() { xdotool search --name '^Josytick$' | head -n1; }
no_dialog() { [ -z "$(dialog_window)" ]; }
has_dialog() { [ -n "$(dialog_window)" ]; }
choose_joystick() {
  # The access menu is the first of the menu bar in use mode; "&Joystic" is its J. The
  # test machine has no joystick: the mouse takes its place.
  xdotool windowactivate --sync "$wid" mousemove --window "$wid" 30 10 click 1
  sleep 0.5
  xdotool key --clearmodifiers j
  wait_for 10 has_dialog || fail "the joystick dialog did not open"
}

choose_joystick
sleep 0.3
import -window root "$e2e_artifacts/joystick-dialog.png"
xdotool windowactivate --sync "$(dialog_window)" key --clearmodifiers Escape
wait_for 10 no_dialog || fail "Escape did not close the dialog"

# Accepted: Multimouse polls once a second; a move of the pointer steps the highlight.
choose_joystick
xdotool windowactivate --sync "$(dialog_window)" key --clearmodifiers Return
wait_for 10 no_dialog || fail "Return did not accept the dialog"
xdotool mousemove 900 700
box_of() { local b; b=$(highlight_box); [[ $b =~ ^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$ ]] && echo "${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"; }
wait_for 10 box_of || fail "no highlight on the board in Multimouse"
sleep 1.5
read -r x0 y0 <<<"$(box_of)"
xdotool mousemove 600 700
moved_left() { local x y; read -r x y <<<"$(box_of)"; [ -n "$x" ] && ((x < x0)); }
wait_for 10 moved_left || fail "moving the mouse left did not move the highlight left (from $x0,$y0: $(highlight_box))"
read -r x1 y1 <<<"$(box_of)"
xdotool mousemove 600 300
moved_up() { local x y; read -r x y <<<"$(box_of)"; [ -n "$y" ] && ((y < y1)); }
wait_for 10 moved_up || fail "moving the mouse up did not move the highlight up (from $x1,$y1: $(highlight_box))"
echo "highlight moved from $x0,$y0 to $x1,$y1 and up to $(box_of)"
echo "PASSED"
