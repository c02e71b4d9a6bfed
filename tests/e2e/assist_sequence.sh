#!/usr/bin/env bash
# A key sequence made with the command menus and the command assistant on a new board's
# area, a text file pasted by "Pegar un texto" (whose "^v" must not paste it a second time), a
# condition with both branches built in nested windows, then played into a real window. Screenshots (the assistant with its nested windows) go to tests/artifacts/, or to
# $ASSIST_SHOTS when set.
set -euo pipefail
e2e_name=assist_sequence
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
shots=${ASSIST_SHOTS:-$e2e_artifacts}
mkdir -p "$shots"
start_x

key() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
# Clicks at a point of the screen.
click_at() { xdotool mousemove --sync "$1" "$2" click 1; sleep 0.5; }
# The window titled $1 (the newest), made the active one.
window_named() { xdotool search --name "^$1\$" | tail -n1; }
in_window() {
  local w
  w=$(window_named "$1") || fail "no window '$1'"
  [ -n "$w" ] || fail "no window '$1'"
  xdotool windowactivate --sync "$w" >/dev/null 2>&1 || true
  sleep 0.3
}
# Where a control of one of the assistant's windows lies, from the window's geometry as
# xdotool reports it: "+ Codi" near the bottom-left corner, "Aceptar" near the bottom-right.
geometry_of() {
  local w
  w=$(window_named "$1")
  [ -n "$w" ] || fail "no window '$1'"
  eval "$(xdotool getwindowgeometry --shell "$w")"
}
# In an assistant window: "+ Codi", then the new row's list (which has the focus) opened and
# item $2 chosen.
add_row() {
  in_window "$1"
  geometry_of "$1"
  click_at $((X + 50)) $((Y + HEIGHT - 71))
  key alt+Down
  key Home
  local i
  for ((i = 0; i < $2; i++)); do xdotool key Down; sleep 0.05; done
  key Return
  sleep 0.5
}
accept_window() {
  in_window "$1"
  geometry_of "$1"
  click_at $((X + WIDTH - 139)) $((Y + HEIGHT - 43))
}

open_new_board "$e2e_work/boards/FRASES.BMP"

# The area: the root, drawn across the lower half of the board, then selected.
at 5 440
xdotool mousedown 1
at 300 300
sleep 0.1
at 635 200
xdotool mouseup 1
sleep 0.5
at 320 300
xdotool click 1
sleep 0.3
xdotool type --delay 50 "ab"
sleep 0.3

# "Órdenes" > "Retardo", "Órdenes" > "Pegar un texto" (a file dialog), then "Memoria" >
# "Pon en memoria": the menus' places on the bar, from the board's top-left corner.
printf 'xyz' >"$e2e_work/boards/NOTES.TXT"
menu_y=$((by - 230))
click_at $((bx + 302)) "$menu_y"
for i in 1 2 3 4 5 6 7; do key Down; done
key Return
click_at $((bx + 302)) "$menu_y"
for i in 1 2 3 4; do key Down; done
key Return
wait_for 10 window_named "Fitxers de text per a enganxar" || fail "no file dialog for the text"
in_window "Fitxers de text per a enganxar"
key ctrl+a
xdotool type --delay 20 "$e2e_work/boards/NOTES.TXT"
key Return
wait_for 10 sh -c '! xdotool search --name "^Fitxers de text per a enganxar$" | grep -q .' ||
  fail "the file dialog stayed open"
vexil_win=$(vexil_window)
xdotool windowactivate --sync "$vexil_win" >/dev/null 2>&1 || true
sleep 0.3
click_at $((bx + 418)) "$menu_y"
key Down
key Return

# "Asistente teclas": the rows of the field, a new row "Si memoria es ..." (list item 12).
click_at $((bx + 559)) $((by - 23))
wait_for 10 window_named "Asistente teclas" || fail "the assistant did not open"
sleep 0.5
add_row "Asistente teclas" 12
wait_for 10 window_named "Si memoria es \.\.\." || fail "the condition window did not open"
in_window "Si memoria es \.\.\."
xdotool type --delay 30 "abcd"
key Tab # "Cert"
key space
wait_for 10 window_named "Si memoria es cert" || fail "no assistant for the first branch"
sleep 0.5
add_row "Si memoria es cert" 0 # "Escribe": a text
wait_for 10 window_named "Escribe" || fail "no data window"
in_window "Escribe"
xdotool type --delay 30 "si"
sleep 0.3
import -window root "$shots/assist-nested.png"
key Return
sleep 0.5
accept_window "Si memoria es cert"
in_window "Si memoria es \.\.\."
key Tab # "Fals"
key space
wait_for 10 window_named "Si memoria es fals" || fail "no assistant for the second branch"
sleep 0.5
add_row "Si memoria es fals" 0
in_window "Escribe"
xdotool type --delay 30 "no"
key Return
sleep 0.5
accept_window "Si memoria es fals"
accept_window "Si memoria es \.\.\."
import -window root "$shots/assist-rows.png"
accept_window "Asistente teclas"
wait_for 10 sh -c '! xdotool search --name "^Asistente teclas$" | grep -q .' || fail "the assistant stayed open"

# Saved under a name; the area's keys are the sequence the menus and the assistant made.
key alt+a
key g
wait_for 10 xdotool search --name 'Enregistrar|Guardar|Desar|Save' || true
sleep 1
xdotool type --delay 20 "$e2e_work/boards/ASSIST.VXL"
key Return
wait_for 10 test -s "$e2e_work/boards/ASSIST.VXL" || fail "the board was not saved"
expected='ab{|Espera 1}{|Enganxa NOTES.TXT}^v{|CM }{|M+ abcd }{|SIM abcd {si}{no}}'
grep -aqF "\"$expected\"" "$e2e_work/boards/ASSIST.VXL" ||
  fail "the area's keys are $(grep -a '{|' "$e2e_work/boards/ASSIST.VXL" | head -n1)"
stop_pid "$vexil_pid"

# Played into a real window: the file's text arrives once, and the memory holds abcd, so the
# first branch is typed.
/usr/bin/python3 "$e2e_here/target_app.py" --title Recorder --geometry 600x250+200+30 \
  --out "$e2e_work/target" >"$e2e_work/target.err" 2>&1 &
e2e_pids+=($!)
wait_for 20 grep -q ready "$e2e_work/target.log" || fail "the target window did not start"
"$e2e_build/bin/vexil-tool" play --real --template "$e2e_work/boards/ASSIST.VXL" --area 1 \
  --window Recorder >"$e2e_work/play.out" 2>&1 || fail "vexil-tool play: $(cat "$e2e_work/play.out")"
wait_for 10 grep -qx "abxyzsi" "$e2e_work/target.txt" ||
  fail "the target holds '$(cat "$e2e_work/target.txt")', expected 'abxyzsi'"
echo "typed from the assistant's sequence: $(cat "$e2e_work/target.txt")"
echo "PASSED"
