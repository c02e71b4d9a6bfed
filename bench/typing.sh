#!/usr/bin/env bash
# Typing speed: 1,000 characters (letters, digits, punctuation, accented letters) typed into
# a real X client under a private Xvfb, once through the key player (vexil-tool play
# --real) and once with `xdotool type --delay 0`, each checked character by character.
# Usage: bench/typing.sh BUILD_DIR
source "$(dirname "$0")/../tests/e2e/lib.bash"
need_x
start_x

# The same pseudo-random text every run.
"$PYTHON" - "$WORK" <<'PY'
import random, sys
random.seed(1714)
alphabet = ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;:-_!?'\"/&=*<>@#$"
            "àéèíïòóúüçñÀÉÈÍÒÓÚÇÑ·¿¡€")
text = "".join(random.choice(alphabet) for _ in range(1000))
open(sys.argv[1] + "/text.txt", "w", encoding="utf-8").write(text)
PY
text="$(cat "$WORK/text.txt")"

now() { date +%s.%N; }

start_target "Bench vexil" vexil
t0=$(now)
play --window "Bench vexil" "$text"
t1=$(now)
wait_text vexil "$text"
vexil_s=$(echo "$t1 - $t0" | bc -l)

start_target "Bench xdotool" xdo
xdotool search --name '^Bench xdotool$' windowactivate --sync >/dev/null 2>&1
t0=$(now)
xdotool type --delay 0 "$text"
t1=$(now)
sleep 1
xdo_s=$(echo "$t1 - $t0" | bc -l)
xdo_text="$(cat "$WORK/xdo.txt")"
xdo_intact=$("$PYTHON" -c '
import sys
a = open(sys.argv[1], encoding="utf-8").read(); b = open(sys.argv[2], encoding="utf-8").read()
print("%d/1000 characters intact" % sum(1 for x, y in zip(a, b) if x == y) if len(a) == len(b)
      else "%d of 1000 characters arrived" % len(b))
' "$WORK/text.txt" "$WORK/xdo.txt")

printf 'vexil-tool play --real: 1000/1000 characters intact in %.3f s (%.0f chars/s, process start included)\n' \
    "$vexil_s" "$(echo "1000 / $vexil_s" | bc -l)"
printf 'xdotool type --delay 0: %s in %.3f s (%.0f chars/s)\n' \
    "$xdo_intact" "$xdo_s" "$(echo "1000 / $xdo_s" | bc -l)"
printf 'speed ratio (vexil / xdotool): %.2f\n' "$(echo "$xdo_s / $vexil_s" | bc -l)"
