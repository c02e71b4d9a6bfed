# Plain text with accents and capitals, modifiers and groups, named keys with counts,
# Enter, and a wait between two stretches, typed into a real window.
source "$(dirname "$0")/lib.bash"
need_x
start_x
start_target "Vexil target" pad

play --window "Vexil target" \
    'Hola àéíïòóúüçñ·¿¡€ ÀÉÍÒÚÇÑ!~x+(abc)yz{LEFT 3}Q^a<{END}{ENTER}ab{|Espera 2}cd{+}{%}{~}'
wait_text pad $'Hola àéíïòóúüçñ·¿¡€ ÀÉÍÒÚÇÑ!\n<xABQCyz\nabcd+%~'
# ^a reached the window as Ctrl+a (state bit 4), not as a typed letter.
grep -q '"keysym": "a", "char": "\\u0001", "state": 4' "$WORK/pad.log" || fail "no Ctrl+a event"
# The wait ran between the two stretches: keys, wait, keys in that order.
ops="$(grep -o '"op":"[a-z]*"' "$WORK/play.out" | tr '\n' ' ')"
case "$ops" in
*'"op":"keys" "op":"wait" "op":"wait" "op":"activate" "op":"keys"'*) ;;
*) fail "unexpected order of operations: $ops" ;;
esac
[ "$(xdotool getactivewindow getwindowname)" == "Vexil target" ] || fail "target lost the focus"
# No modifier is left held once the tool has ended: a plain key arrives with no state.
xdotool key z
for i in $(seq 1 30); do grep -q '"keysym": "z"' "$WORK/pad.log" && break; sleep 0.1; done
grep -q '"keysym": "z", "char": "z", "state": 0' "$WORK/pad.log" || fail "a modifier stayed held"
echo "PASS"
