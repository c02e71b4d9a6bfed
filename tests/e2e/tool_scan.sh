#!/usr/bin/env bash
# vexil-tool scan on a small grid board made here: what a script sees of the access engine.
# Usage: tool_scan.sh BUILD_DIR
set -euo pipefail
tool="$(cd "$1" && pwd)/bin/vexil-tool"
lib="$(cd "$(dirname "$0")/lib" && pwd)"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The board frame and a 2 x 2 grid of level 1 typing a, b, c, d; area 3 speaks a wave file.
python3 "$lib/grid_board.py" grid.vxl --program xterm --sound 3=gat.wav
python3 "$lib/grid_board.py" end.vxl --program xterm --sound 3=gat.wav --keys "{|TANCAR},b,c,d"
python3 - <<'PY'
open("auto.usr", "w", newline="").write("[Vexil]\r\nmodus= 2\r\ntemps= 10\r\naccio1= 2\r\n")
PY

ops() { python3 -c '
import json, sys
for line in open(sys.argv[1]):
    d = json.loads(line)
    if d["op"] in ("highlight", "announce", "beep", "activateArea", "keys"):
        print(d["op"], d.get("area", d.get("text", "")))' "$1"; }

# Automatic scanning, one switch on Enter: two steps, Enter, the next Timer1 tick activates.
"$tool" scan --template grid.vxl --profile auto.usr wait:2000 key:enter wait:500 >auto.jsonl \
  2>/dev/null || fail "scan exit $?"
expected=$'highlight 2\nannounce a\nhighlight 3\nannounce gat.wav\nbeep \nactivateArea 3'
[ "$(ops auto.jsonl | grep -v '^keys')" = "$expected" ] || fail "automatic scanning: $(ops auto.jsonl)"
timers() { python3 -c '
import json, sys
for line in open(sys.argv[1]):
    d = json.loads(line)
    if d["op"] == "timer":
        print(d["name"], d["interval"], d["enabled"])' "$1"; }
# Read whole: with pipefail, a grep that stops at the first match would break the pipe.
auto_timers=$(timers auto.jsonl)
grep -qx "Timer3 1000 True" <<<"$auto_timers" || fail "scan step 1000 ms: $auto_timers"
grep -qx "Timer2 100 True" <<<"$auto_timers" || fail "focus timer: $auto_timers"
head -c 7 auto.jsonl | grep -q '{"op":' || fail "op first"

# Mouse mode from the command line: a press at pixel (600,400) is board (375,248), area 5.
"$tool" scan --template grid.vxl --mode 0 press:left:600,400 wait:500 >mouse.jsonl 2>/dev/null
[ "$(ops mouse.jsonl | grep -v '^keys' | tr '\n' ' ')" = "beep  activateArea 5 " ] \
  || fail "mouse mode: $(ops mouse.jsonl)"

# Cursor keys: the frame starts on the last area; Up, Left, Enter, then the tick.
"$tool" scan --template grid.vxl --mode 3 down:38 down:37 key:enter wait:500 >keys.jsonl 2>/dev/null
[ "$(ops keys.jsonl | grep -v '^keys' | tr '\n' ' ')" = \
  "highlight 5 highlight 3 announce gat.wav highlight 2 announce a beep  activateArea 2 " ] \
  || fail "cursor keys: $(ops keys.jsonl)"

# Voice, "2 Ordres", with a profile whose switches hold no voice codes: sound 1 steps,
# sound 2 selects and activates at once; the sounds may follow "--".
"$tool" scan --template grid.vxl --mode 6 -- voice:1 voice:1 voice:2 >voice.jsonl 2>/dev/null
[ "$(ops voice.jsonl | grep -v '^keys' | tr '\n' ' ')" = \
  "highlight 5 highlight 2 announce a highlight 3 announce gat.wav beep  activateArea 3 " ] \
  || fail "voice, two commands: $(ops voice.jsonl)"
# "1 Ordre": automatic scanning, the sound picks the highlighted area for the next tick.
"$tool" scan --template grid.vxl --mode 5 wait:1000 voice:1 wait:500 >voice1.jsonl 2>/dev/null
[ "$(ops voice1.jsonl | grep -v '^keys' | tr '\n' ' ')" = \
  "highlight 2 announce a beep  activateArea 2 " ] \
  || fail "voice, one command: $(ops voice1.jsonl)"

# TANCAR from an area leaves use mode, then ends the program.
"$tool" scan --template end.vxl --mode 0 press:left:100,100 wait:500 >end.jsonl 2>/dev/null
grep -q '"op":"leaveUseMode"' end.jsonl || fail "TANCAR leaves use mode"
tail -n 3 end.jsonl | grep -q '"op":"exit"' || fail "TANCAR ends the program"

# The board's start program opens a window: the keys of the picked area go there, once the
# board is trusted. Untrusted, it starts nothing and says so, and the keys still play.
export XDG_DATA_HOME="$work/data"
"$tool" scan --template grid.vxl --launch xterm=Terminal --mode 0 press:left:100,100 wait:500 \
  >untrusted.jsonl 2>/dev/null
grep -q '"op":"launch"' untrusted.jsonl && fail "an untrusted board started a program"
grep -q '"op":"refused","kind":"program","what":"xterm"' untrusted.jsonl || fail "no refusal: $(ops untrusted.jsonl)"
grep -q '"op":"activateArea","area":2' untrusted.jsonl || fail "the untrusted board's area was not played"
"$tool" trust grid.vxl >/dev/null
"$tool" scan --template grid.vxl --launch xterm=Terminal --mode 0 press:left:100,100 wait:500 \
  >typed.jsonl 2>/dev/null
grep -q '"op":"launch"' typed.jsonl || fail "start program launched"
grep -q '"text":"a"' typed.jsonl || fail "keys typed into the started program"
"$tool" scan --template grid.vxl --window Editor --mode 0 press:left:700,100 wait:500 \
  >window.jsonl 2>/dev/null
grep -q '"title":"Editor"' window.jsonl || fail "--window is the target"

# Bad events are usage errors.
set +e; "$tool" scan --template grid.vxl bogus:1 >/dev/null 2>&1; rc=$?; set -e
[ $rc = 2 ] || fail "bad event exit $rc"
set +e; "$tool" scan wait:10 >/dev/null 2>&1; rc=$?; set -e
[ $rc = 2 ] || fail "missing --template exit $rc"
echo ok
