# EXECUTA of a real program that becomes the target, and the fall back to the previous
# target through the history once that program has closed.
source "$(dirname "$0")/lib.bash"
need_x
start_x
start_target "First pad" first

# The second pad quits as soon as it has received "q"; the rest goes to the first pad.
play --window "First pad" \
    "one{|Executa $PYTHON $E2E_DIR/target_app.py --title Second --out $WORK/second --quit-on q}twoq{|Espera 3}three"
grep -q '"op":"launch"' "$WORK/play.out" || fail "no launch: $(cat "$WORK/play.out")"
grep '"op":"launch"' "$WORK/play.out" | grep -q '"window":-1' && fail "the started program's window was not found"
wait_text first "onethree"
[ "$(cat "$WORK/second.txt")" == "twoq" ] || fail "second pad got '$(cat "$WORK/second.txt")'"
echo "PASS"
