#!/usr/bin/env bash
# vexil-tool play on the recording platform: the lines a script sees for boards and
# sequences made here.
# Usage: tool_play.sh BUILD_DIR
set -euo pipefail
tool="$(cd "$1" && pwd)/bin/vexil-tool"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

header() {  # header COUNT TARGET_APP
  printf ' 2\r\n 1\r\n\r\n %d\r\n""\r\n 0\r\n""\r\n""\r\n""\r\n"%s"\r\n""\r\n 1\r\n 0\r\n 0\r\n 0\r\n 0\r\n 100\r\n' "$1" "$2"
}
area() {  # area X0 Y0 X1 Y1 LEVEL KEYS IS_GROUP
  printf ' %d\r\n %d\r\n %d\r\n %d\r\n %d\r\n 0\r\n""\r\n""\r\n"%s"\r\n""\r\n 0\r\n %d\r\n' "$@"
}
# The frame covers the top of the reference board: applications go below it.
{ header 3 ""; area 0 0 640 200 0 "" 0; area 0 0 320 200 1 "" -1; area 0 0 100 100 2 "hi{|Nivell 0}" 0; } >a.vxl
{ header 3 "NOTEPAD.EXE"; area 0 0 640 200 0 "" 0; area 0 0 320 200 1 "" -1; area 0 0 100 100 2 "hi" 0; } >t.vxl
{ header 1 ""; area 0 0 640 445 0 "" 0; } >b.vxl

expect() {  # expect NAME EXPECTED_LINES -- ARGS...
  local name=$1 expected=$2; shift 3
  local got
  got=$("$tool" play "$@" 2>/dev/null) || true
  [ "$got" = "$expected" ] || fail "$name: got
$got
expected
$expected"
}

expect "area keys" '{"op":"activate","title":"Notes"}
{"op":"keys","text":"hi"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --template a.vxl --area 3 --window Notes

expect "group area" '{"op":"state","memory":"","currentLevel":2,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --template a.vxl --area 2 --window Notes

expect "target application elsewhere" '{"op":"state","memory":"","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --template t.vxl --area 3 --window Notes --focus-exe /usr/bin/gnome-calculator

expect "target application focused" '{"op":"activate","title":"Notes"}
{"op":"keys","text":"hi"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --template t.vxl --area 3 --window Notes --focus-exe 'C:\WINDOWS\NOTEPAD.EXE'

expect "start a program" '{"op":"launch","command":"NOTEPAD.EXE","window":4097}
{"op":"place","window":4097,"x":0,"y":375,"width":1024,"height":393}
{"op":"activate","title":"Pad"}
{"op":"keys","text":"x"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":4097,"targetHistory":"1001 1000 "}' \
  -- --template a.vxl --window Notes --launch notepad=Pad '{|Executa NOTEPAD.EXE}x'

expect "no window opens" '{"op":"launch","command":"silent.exe","window":-1}
{"op":"activate","title":"Notes"}
{"op":"keys","text":"x"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":4096,"targetHistory":""}' \
  -- --window Notes '{|Executa silent.exe}x'

# The new board covers the whole screen: the target goes out of sight.
expect "load another board" "{\"op\":\"load\",\"path\":\"$work/b.vxl\"}
{\"op\":\"place\",\"window\":4096,\"x\":0,\"y\":512,\"width\":1024,\"height\":256}
{\"op\":\"state\",\"memory\":\"\",\"currentLevel\":1,\"targetWindow\":4096,\"targetHistory\":\"1000 \"}" \
  -- --template a.vxl --window Notes '{|Nivell 0}{|Carrega b.vxl}'

# A board nobody trusted: its area starts no program, writes no registry value and loads no
# untrusted board, and says so; played as trusted, marked trusted, and changed again.
export XDG_DATA_HOME="$work/data"
{ header 2 ""; area 0 0 640 200 0 "" 0
  area 0 0 100 100 1 '{|Executa NOTEPAD.EXE}{|Reg [HKEY_CURRENT_USER\Software\V]=1}{|Carrega b.vxl}x' 0; } >u.vxl
refused="{\"op\":\"refused\",\"kind\":\"program\",\"what\":\"NOTEPAD.EXE\"}
{\"op\":\"refused\",\"kind\":\"registry\",\"what\":\"[HKEY_CURRENT_USER\\\\Software\\\\V]\"}
{\"op\":\"refused\",\"kind\":\"board\",\"what\":\"$work/b.vxl\"}
{\"op\":\"activate\",\"title\":\"Notes\"}
{\"op\":\"keys\",\"text\":\"x\"}
{\"op\":\"state\",\"memory\":\"\",\"currentLevel\":1,\"targetWindow\":4096,\"targetHistory\":\"1000 \"}"
ran="{\"op\":\"launch\",\"command\":\"NOTEPAD.EXE\",\"window\":4097}
{\"op\":\"place\",\"window\":4097,\"x\":0,\"y\":375,\"width\":1024,\"height\":393}
{\"op\":\"message\",\"text\":\"REG\"}
{\"op\":\"registry\",\"root\":\"HKEY_CURRENT_USER\",\"key\":\"Software\\\\V\",\"name\":\"\",\"type\":1,\"data\":\"31\"}
{\"op\":\"load\",\"path\":\"$work/b.vxl\"}
{\"op\":\"place\",\"window\":4097,\"x\":0,\"y\":512,\"width\":1024,\"height\":256}
{\"op\":\"activate\",\"title\":\"Pad\"}
{\"op\":\"keys\",\"text\":\"x\"}
{\"op\":\"state\",\"memory\":\"\",\"currentLevel\":1,\"targetWindow\":4097,\"targetHistory\":\"1001 1000 \"}"
untrusted=(-- --template u.vxl --area 2 --window Notes --launch notepad=Pad)
expect "untrusted board" "$refused" "${untrusted[@]}"
expect "played as trusted" "$ran" "${untrusted[@]}" --trust
[ "$("$tool" trust u.vxl 2>/dev/null)" = "{\"op\":\"trusted\",\"path\":\"$work/u.vxl\"}" ] || fail "trust"
[ "$(stat -c %a "$work/data/vexil/trusted-boards")" = 600 ] || fail "the record is not private"
expect "trusted board" "$ran" "${untrusted[@]}"
printf ' ' >>u.vxl
expect "changed after it was trusted" "$refused" "${untrusted[@]}"

expect "memory and conditional" '{"op":"activate","title":"N"}
{"op":"keys","text":"yes"}
{"op":"state","memory":"8","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --window N --memory 5 '{|M+ 3}{|SIM 8 {yes} {no}}{|sim 8 {a} {b}}'

printf '[x]' >x.txt
expect "paste" '{"op":"clipboard","kind":"clear"}
{"op":"clipboard","kind":"text","text":"[x]"}
{"op":"paste","window":4096}
{"op":"activate","title":"N"}
{"op":"keys","text":"{[}x{]}"}
{"op":"state","memory":"[x]","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --window N '{|Enganxa x.txt}{|M+ {|RCW}}{|RCW}'

expect "mouse" '{"op":"mouse","action":"M","x":2047,"y":0}
{"op":"mouse","action":"2CE","x":2047,"y":0}
{"op":"state","memory":"","currentLevel":1,"targetWindow":0,"targetHistory":""}' \
  -- --screen 2048x1536 '{|Mouse D 5000 2CE cd}'

expect "speech" '{"op":"speech","call":"upcTVResume","arg":null}
{"op":"speech","call":"upcTVSetSpeaker","arg":1}
{"op":"speech","call":"upcTVRead","arg":"Hola;"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":0,"targetHistory":""}' \
  -- --speech '{|Llegir Hola.}'

expect "no speech engine" '{"op":"state","memory":"","currentLevel":1,"targetWindow":0,"targetHistory":""}' \
  -- '{|Llegir Hola.}'

# The seed makes the choice repeatable.
a=$("$tool" play --window N --seed 5 '{|Tria [1#1000000]}' 2>/dev/null)
b=$("$tool" play --window N --seed 5 '{|Tria [1#1000000]}' 2>/dev/null)
[ "$a" = "$b" ] || fail "seeded choices differ"

# A missing file: its message, exit status 1.
set +e; out=$("$tool" play '{|Sona NO.WAV}' 2>/dev/null); rc=$?; set -e
[ $rc = 1 ] || fail "missing file exit $rc"
echo "$out" | grep -q 'Vexil no encuentra el archivo' || fail "missing file message"

# "--" ends the options: a sequence may start with "-", even with "--"; arguments that Qt
# would take for its own ("-reverse") reach the command.
expect "sequence after --" '{"op":"activate","title":"N"}
{"op":"keys","text":"--x"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --window N -- --x
expect "sequence like a Qt option" '{"op":"activate","title":"N"}
{"op":"keys","text":"-reverse"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --window N -reverse
expect "a second -- is the sequence" '{"op":"activate","title":"N"}
{"op":"keys","text":"--"}
{"op":"state","memory":"","currentLevel":1,"targetWindow":4096,"targetHistory":"1000 "}' \
  -- --window N -- --

# Usage errors.
for args in "" "--area" "--screen 10 x" "--launch x x" "a b" "--bogus x" "-- a b" "--"; do
  set +e; "$tool" play $args >/dev/null 2>&1; rc=$?; set -e
  [ $rc = 2 ] || fail "usage '$args' exit $rc"
done
"$tool" --help >help.txt 2>/dev/null
grep -q -- '--launch NAME=TITLE' help.txt || fail "help"
echo "tool_play: ok"
