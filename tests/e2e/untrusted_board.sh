#!/usr/bin/env bash
# A board from elsewhere, opened on the command line as the file manager opens it, whose
# start program would leave a file behind: the program asks first, and answered "Usarlo
# sin esto" nothing runs. The same board answered "Confiar en este tablero" on the scanned
# question (a switch press while that button is highlighted) runs its start program and is
# remembered as trusted.
set -euo pipefail
e2e_name=untrusted_board
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

mkdir -p "$e2e_work/downloads"
board="$e2e_work/downloads/FRASES.VXL"
made="$e2e_work/made-by-the-board"
sed "5s|.*|\"touch $made\"\r|" "$e2e_work/boards/FRASES.VXL" >"$board"
cp "$e2e_work/boards/FRASES.BMP" "$e2e_work/downloads/"
question='^Este tablero no es de confianza$'

# Mouse users: the question has "Usarlo sin esto" chosen first; Enter answers it.
start_vexil "$board"
wait_for 20 xdotool search --name "$question" || fail "the untrusted board asked nothing"
dialog=$(xdotool search --name "$question" | head -n1)
# The dialog may be shown before it takes the focus the window manager gave it (the key then
# goes nowhere): pressed again, at most three times, while the question is still there.
for _ in 1 2 3; do
  xdotool windowactivate --sync "$dialog" 2>/dev/null || true
  xdotool key --clearmodifiers Return
  wait_for 3 sh -c "! xdotool search --name '$question'" && break
done
wait_for 20 vexil_window || fail "the board window did not appear"
wait_for 5 sh -c "! xdotool search --name '$question'" || fail "the question stayed open"
sleep 2
[ ! -e "$made" ] || fail "the start program of an untrusted board ran"
[ ! -s "$XDG_DATA_HOME/vexil/trusted-boards" ] || fail "the board was recorded as trusted"
stop_pid "$vexil_pid"

# Automatic scanning, 3 s a step: the highlight moves from "Usarlo sin esto" to "Confiar en
# este tablero" after one step, and the switch (Space) chooses it then.
profile=$(write_profile SCAN.USR 2 15)
sed -i 's/^Interval= 500/Interval= 3000/' "$profile"
start_vexil "$profile" "$board"
wait_for 20 xdotool search --name "$question" || fail "the scanning user was asked nothing"
sleep 4.5
xdotool key --clearmodifiers space
wait_for 10 test -e "$made" || fail "the trusted board's start program did not run"
grep -q "	$(realpath "$board")\$" "$XDG_DATA_HOME/vexil/trusted-boards" ||
  fail "the trusted board was not recorded"
[ "$(stat -c %a "$XDG_DATA_HOME/vexil/trusted-boards")" = 600 ] || fail "the record is not private"
echo PASS
