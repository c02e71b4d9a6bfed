#!/usr/bin/env bash
# vexil-tool scan with the profile's [Adaptacio] settings: key releases, the acceptance
# fill, the cue voice's announce line and its missing output, dwell lines, scan cycles.
# Usage: tool_adapt.sh BUILD_DIR
set -euo pipefail
tool="$(cd "$1" && pwd)/bin/vexil-tool"
lib="$(cd "$(dirname "$0")/lib" && pwd)"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The board frame and a 2 x 2 grid of level 1 typing a, b, c, d.
python3 "$lib/grid_board.py" grid.vxl
python3 - <<'PY'
base = "[Vexil]\r\nmodus= 2\r\ntemps= 10\r\naccio1= 2\r\n[Adaptacio]\r\n"
open("accept.usr", "w", newline="").write(base + "Acceptacio= 300\r\nGuiaAuditiva= 1\r\n"
                                          "GuiaSortida=auriculars\r\n")
open("bad.usr", "w", newline="").write(base + "Acceptacio=-4\r\nVoltes=moltes\r\n"
                                       "TempsMort= 99999999\r\n")
open("loops.usr", "w", newline="").write(base + "Voltes= 1\r\n")
open("dwell.usr", "w", newline="").write("[Vexil]\r\nmodus= 0\r\n[Adaptacio]\r\n"
                                         "Permanencia= 500\r\nPermanenciaRadi= 10\r\n")
PY

ops() { python3 -c '
import json, sys
for line in open(sys.argv[1]):
    d = json.loads(line)
    if d["op"] in ("highlight", "announce", "activateArea", "fill", "dwell", "message",
                   "scanPaused", "scanResumed", "filtered"):
        print(d["op"], *[d[k] for k in ("area", "text", "output", "progress", "why") if k in d])
' "$1"; }

# Held 200 ms and let go: nothing; held 300 ms: taken at 300 ms, before the release.
"$tool" scan --template grid.vxl --profile accept.usr --sink auriculars -- wait:1000 \
  key:enter wait:200 up:13 key:enter wait:300 up:13 wait:500 >accept.jsonl 2>/dev/null ||
  fail "scan exit $?"
got=$(ops accept.jsonl | tr '\n' '|')
expected="highlight 2|announce a cue|fill 0|fill 0.17|fill 0.33|fill 0.5|fill 0.67|fill 0|filtered short|"
expected+="fill 0|fill 0.17|fill 0.33|fill 0.5|fill 0.67|fill 0.83|fill 1|fill 0|activateArea 2|"
[ "$got" = "$expected" ] || fail "acceptance: $got"

# The cue output missing: one message, the cue on the main output; exit 1 (a message was shown).
set +e
"$tool" scan --template grid.vxl --profile accept.usr -- wait:2000 >missing.jsonl 2>/dev/null
code=$?
set -e
[ "$code" = 1 ] || fail "missing output exit $code"
[ "$(ops missing.jsonl | grep -c '^message')" = 1 ] || fail "one message: $(ops missing.jsonl)"
grep -q '"call":"say".*"output":""' missing.jsonl || fail "cue not on the main output"

# Settings out of range are off: scanning as without them.
"$tool" scan --template grid.vxl --profile bad.usr -- wait:2000 key:enter wait:500 \
  >bad.jsonl 2>/dev/null || fail "bad profile exit $?"
[ "$(ops bad.jsonl | tr '\n' '|')" = "highlight 2|announce a|highlight 3|announce b|activateArea 3|" ] ||
  fail "out of range: $(ops bad.jsonl)"

# One cycle, then the scan stands still until a press.
"$tool" scan --template grid.vxl --profile loops.usr -- wait:9000 key:enter up:13 >loops.jsonl \
  2>/dev/null || fail "loops exit $?"
got=$(ops loops.jsonl | grep -v '^announce' | tr '\n' '|')
[ "$got" = "highlight 2|highlight 3|highlight 4|highlight 5|scanPaused|scanResumed|highlight 2|" ] ||
  fail "loops: $got"

# Dwell: resting 500 ms on area 2, jitter within the radius, then a second area.
"$tool" scan --template grid.vxl --profile dwell.usr -- move:100,100 wait:300 move:104,98 \
  wait:200 wait:500 move:700,100 wait:100 >dwell.jsonl 2>/dev/null || fail "dwell exit $?"
got=$(ops dwell.jsonl | tr '\n' '|')
[ "$got" = "dwell 2 0|dwell 2 0.2|dwell 2 0.4|dwell 2 0.6|dwell 2 0.8|dwell 2 1|activateArea 2|dwell 2 0|dwell 3 0|dwell 3 0.2|" ] ||
  fail "dwell: $got"
echo "PASS"
