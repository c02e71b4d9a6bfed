#!/usr/bin/env bash
# vexil-tool edit and cover on the recording platform: the lines a script sees while a
# board is drawn, edited and laid out, and the cover files written.
# Usage: tool_edit.sh BUILD_DIR
set -euo pipefail
tool="$(cd "$1" && pwd)/bin/vexil-tool"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
# Boards saved here are recorded as trusted in a data folder of this run, not the user's.
export XDG_DATA_HOME="$work/data"
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# check NAME JQ_EXPRESSION -- ARGS...: the state line must satisfy the expression.
check() {
  local name=$1 expr=$2; shift 3
  local state
  state=$("$tool" edit "$@" 2>/dev/null | tail -n 1) || true
  echo "$state" | jq -e "$expr" >/dev/null || fail "$name: $expr does not hold for
$state"
}
# effects NAME EXPECTED -- ARGS...: the effect lines before the state line.
effects() {
  local name=$1 expected=$2; shift 3
  local got
  got=$("$tool" edit "$@" 2>/dev/null | sed '$d') || true
  [ "$got" = "$expected" ] || fail "$name: got
$got
expected
$expected"
}

check "first area spans the width" \
  '.areaCount == 1 and .areas[0] == {x0:0,y0:0,x1:640,y1:100,level:0,isGroup:0,mirrorOf:0,keys:"",clipFile:"",clipKind:0,iconFile:"",soundFile:"",repeat:0} and .drawingMode == false and .msgArea == "1/1 àrees"' \
  -- down:10,10 move:300,50 up:600,100

check "first area spans the height" '.areas[0] | [.x0,.y0,.x1,.y1] == [0,0,128,445]' \
  -- down:5,5 up:128,89

check "degenerate release adds nothing" '.areaCount == 0 and .drawingMode and .msgArea == "----- àrees"' \
  -- down:10,10 up:0,300

check "sub-area clipped to its group" \
  '.areaCount == 3 and (.areas[2] | [.x0,.y0,.x1,.y1,.level] == [250,20,300,90,2]) and .areas[1].isGroup == -1 and .currentArea == 3' \
  -- down:10,10 up:600,100 menu:AfegirArea down:100,20 up:300,90 menu:AfegirArea \
     down:250,10 move:400,50 up:349.6,95

effects "refusals beep" '{"op":"beep"}
{"op":"beep"}' \
  -- down:10,10 up:600,100 menu:EliminarArea key:Delete

check "delete and undo" '.areaCount == 2 and .areas[0].isGroup == -1' \
  -- down:10,10 up:600,100 menu:AfegirArea down:100,20 up:200,80 key:Delete menu:Desfer
check "undo and redo" '.areaCount == 1 and .areas[0].isGroup == 0' \
  -- down:10,10 up:600,100 menu:AfegirArea down:100,20 up:200,80 key:Delete menu:Desfer menu:Refer

check "group selection" \
  '.realAreaCount == 3 and .areaCount == 6 and .currentArea == 4 and (.areas[3] | [.x0,.y0,.x1,.y1,.isGroup,.mirrorOf] == [1,1,200,99,-1,2]) and ([.areas[4:][] | .mirrorOf] == [2,3]) and .msgArea == "4/6 àrees"' \
  -- down:10,10 up:600,100 menu:AfegirArea down:1,1 up:100,99 click:300,50 menu:AfegirArea \
     down:100,1 up:200,99 click:50,50 click:150,50:ctrl
check "a plain click ends the group" '.realAreaCount == 0 and .areaCount == 3 and .currentArea == 3' \
  -- down:10,10 up:600,100 menu:AfegirArea down:1,1 up:100,99 click:300,50 menu:AfegirArea \
     down:100,1 up:200,99 click:50,50 click:150,50:ctrl click:150,50

check "impossible percentages change nothing" \
  '[.areas[1] | .x0,.y0,.x1,.y1] == [100,20,300,90]' \
  -- down:10,10 up:600,100 menu:AfegirArea down:100,20 up:300,90 redim:abc,0 redim:500,abc
check "percentages" '[.areas[1] | .x0,.y0,.x1,.y1] == [100,20,200,55]' \
  -- down:10,10 up:600,100 menu:AfegirArea down:100,20 up:300,90 redim:50,50

check "grid" '.areaCount == 8 and .currentArea == 8 and ([.areas[2:][] | .x1 - .x0] | unique == [33]) and .areas[7].x1 == 199' \
  -- down:10,10 up:600,100 menu:AfegirArea down:100,20 up:200,70 grid:3,2

check "edges stay within the root" '.areas[1].x1 == 120 and .panel.x1 == 120 and .currentArea == 2 and .coverOutdated' \
  -- down:5,5 up:128,89 menu:AfegirArea down:10,20 up:100,70 edge:x1=120 edge:x1=200
check "the root moves its free edge only" '[.areas[0] | .x0,.y0,.x1,.y1] == [0,0,300,445]' \
  -- down:5,5 up:128,89 edge:x1=300 edge:y1=200 edge:x0=10
check "typed edge boxes are undone" '.areas[1].x0 == 100 and .panel.x0 == 100' \
  -- down:10,10 up:600,100 menu:AfegirArea down:100,20 up:200,70 field:TxX0=5

effects "copy and paste" '{"op":"clipboard","kind":"clear"}
{"op":"clipboard","kind":"text","text":"ol"}' \
  -- --clipboard XY -- down:10,10 up:600,100 field:TxText=hola select:1,2 menu:Copiar
check "paste keeps the selection after" '.areas[0].keys == "hXYola" and .panel.keys == "hXYola"' \
  -- --clipboard XY -- down:10,10 up:600,100 field:TxText=hola select:1,2 menu:Enganxar

check "fields" '.areas[0] | .clipKind == 1 and .clipFile == "" and .repeat == 1 and .soundFile == "a.wav" and .iconFile == "HOLA"' \
  -- down:10,10 up:600,100 field:TxApp=n.txt field:Option1=1 field:ChRepe=1 field:So_Text=a.wav field:Icona_text=HOLA

# A board that is full refuses one more area and keeps every one.
{
  printf ' 2\r\n 1\r\n\r\n 32767\r\n""\r\n 0\r\n""\r\n""\r\n""\r\n""\r\n""\r\n 0\r\n 0\r\n 0\r\n 0\r\n 0\r\n 100\r\n'
  printf ' 0\r\n 0\r\n 640\r\n 445\r\n 0\r\n 0\r\n""\r\n""\r\n""\r\n""\r\n 0\r\n-1\r\n'
  for _ in $(seq 2 32767); do printf ' 1\r\n 1\r\n 2\r\n 2\r\n 1\r\n 0\r\n""\r\n""\r\n""\r\n""\r\n 0\r\n 0\r\n'; done
} >full.vxl
effects "full board" '{"op":"message","text":"6 Desbordamiento"}' \
  -- --template full.vxl -- click:300,300 menu:AfegirArea down:300,300 up:400,400
check "full board keeps its areas" '.areaCount == 32767 and .areas[32766].x1 == 2' \
  -- --template full.vxl -- click:300,300 menu:AfegirArea down:300,300 up:400,400

status=0
"$tool" edit down:10,10 fly:1,2 >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "an unknown operation must be a usage error (status $status)"

# The cover: the root's size, pictures stretched, a missing picture only outlined.
convert -size 32x32 xc:red gat.bmp
"$tool" edit down:10,10 up:600,300 menu:AfegirArea down:20,20 up:200,150 field:Icona_text=gat.bmp \
  click:300,200 menu:AfegirArea down:250,160 up:590,290 field:Icona_text=none.gif save:b.vxl >/dev/null
"$tool" cover b.vxl out.bmp >/dev/null || fail "cover of b.vxl"
[ "$(identify -format '%w %h' out.bmp)" = "640 300" ] || fail "cover size"
[ "$(convert out.bmp -format '%[pixel:p{100,80}]' info:)" = "srgb(255,0,0)" ] || fail "picture"
[ "$(convert out.bmp -format '%[pixel:p{400,220}]' info:)" = "srgb(255,255,255)" ] || fail "missing picture"
[ "$(convert out.bmp -format '%[pixel:p{250,220}]' info:)" = "srgb(0,0,0)" ] || fail "outline"
if "$tool" cover b.vxl missing/dir/out.bmp >/dev/null 2>&1; then fail "an unwritable cover succeeded"; fi
echo "tool_edit: all checks passed"
