#!/usr/bin/env bash
# The auxiliary keyboard and the help on a real desktop: a board drawn in the editor, keys
# typed into its area, the keyboard opened from "&Ver" writing Shift and F1 at the cursor
# without taking the focus from the key field, then F1 opening the help of the panel and the
# help menu opening "Secuencias de teclas". Screenshots go to tests/artifacts/.
set -euo pipefail
e2e_name=aux_keyboard_help
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
cp -r "$e2e_source/examples/help" "$e2e_work/boards/"
start_x

open_new_board

# One area over the lower part of the board; clicking it puts the focus in its key field.
at 5 440
xdotool mousedown 1
at 300 300
sleep 0.1
at 635 200
xdotool mouseup 1
sleep 0.3
at 320 400
xdotool click 1
sleep 0.3
xdotool type --delay 40 abcdef
xdotool key --clearmodifiers Left Left Left
sleep 0.2

# "&Ver" > "&Teclado auxiliar".
xdotool key --clearmodifiers alt+v
sleep 0.3
xdotool key --clearmodifiers t
wait_for 10 xdotool search --name '^Teclado Auxiliar' || fail "the auxiliary keyboard did not open"
kb=$(xdotool search --name '^Teclado Auxiliar' | head -n1)
xdotool windowmove --sync "$kb" 380 300
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$kb")" # WIDTH and HEIGHT of the inside
kw=$WIDTH kh=$HEIGHT
# Shift is the first picture button (top left), F1 the first of the bottom row of seven;
# positions inside the window.
xdotool mousemove --window "$kb" --sync $((4 + (kw - 8) / 16)) 20 click 1
sleep 0.3
xdotool mousemove --window "$kb" --sync $((4 + (kw - 8) / 14)) $((kh - 18)) click 1
sleep 0.3
# The focus stayed in the key field: what is typed now lands after the inserted keys.
xdotool type --delay 40 X
sleep 0.3
import -window root "$e2e_artifacts/aux-keyboard.png"

# F1 in the key field: the help of the area panel.
xdotool key --clearmodifiers F1
wait_for 10 xdotool search --name '^Vexil - El editor de plafones$' || fail "F1 did not open the panel's help"
sleep 0.5
import -window root "$e2e_artifacts/help-panel.png"
# Escape closes the help; "&Ayuda" > "Secuencias de teclas" opens it again there.
xdotool key --clearmodifiers Escape
wait_for 5 sh -c "! xdotool search --onlyvisible --name '^Vexil - El editor' | grep -q ." ||
  fail "Escape did not close the help"
xdotool windowactivate --sync "$wid"
sleep 0.3
# "&Ayuda" shares its mnemonic with three other menus: opened with the mouse.
xdotool mousemove --window "$wid" --sync 687 8 click 1
sleep 0.4
xdotool key --clearmodifiers Down Down
sleep 0.2
import -window root "$e2e_artifacts/help-menu.png"
xdotool key --clearmodifiers Return
wait_for 10 xdotool search --name '^Vexil - Secuencias de teclas$' ||
  fail "the help menu did not open the key sequences"
[ "$(xdotool search --onlyvisible --name '^Vexil - ' | wc -l)" = 2 ] ||
  fail "not one editor and one help window"
sleep 0.5
import -window root "$e2e_artifacts/help-keys.png"

xdotool key --clearmodifiers Escape
sleep 0.3

# "&Ver" > "&Datos globales": the keyboard, still open, writes into its start keys while
# the dialog is modal. F12 is the last of the bottom row.
xdotool windowactivate --sync "$wid"
sleep 0.2
xdotool key --clearmodifiers alt+v
sleep 0.3
xdotool key --clearmodifiers d
wait_for 10 xdotool search --name '^Datos globales$' || fail "the board's properties did not open"
sleep 0.8
xdotool mousemove --window "$kb" --sync $((kw - 4 - (kw - 8) / 14)) $((kh - 18)) click 1
sleep 0.5
import -window root "$e2e_artifacts/aux-keyboard-dialog.png"
xdotool key --clearmodifiers Return
wait_for 10 sh -c '! xdotool search --name "^Datos globales$" | grep -q .' ||
  fail "the properties stayed open"
sleep 0.3
# "&Guardar ...": the area's keys as stored.
xdotool windowactivate --sync "$wid"
sleep 0.2
xdotool key --clearmodifiers alt+a
sleep 0.3
xdotool key --clearmodifiers g
sleep 0.8
xdotool type --delay 20 "$e2e_work/boards/TECLAT.VXL"
xdotool key --clearmodifiers Return
wait_for 10 test -s "$e2e_work/boards/TECLAT.VXL" || fail "the board was not saved"
grep -q 'abc+{F1}Xdef' "$e2e_work/boards/TECLAT.VXL" ||
  fail "the area's keys are not abc+{F1}Xdef: $(grep -a 'abc' "$e2e_work/boards/TECLAT.VXL" || true)"
grep -q '{F12}' "$e2e_work/boards/TECLAT.VXL" ||
  fail "the board's start keys did not get {F12}"
echo "PASSED"
