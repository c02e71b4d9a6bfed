#!/usr/bin/env bash
# vexil-tool dump, save and save-as on small boards made here: what a script sees.
# Usage: tool_templates.sh BUILD_DIR
set -euo pipefail
tool="$(cd "$1" && pwd)/bin/vexil-tool"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
# Boards saved here are recorded as trusted in a data folder of this run, not the user's.
export XDG_DATA_HOME="$work/data"
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# A board in the writer's own form: a quote stored as ¶ (byte 182), an accent (byte 243),
# a comma inside quotes, a relative sound next to the board.
board() {  # board FILE VERSION PICTURE
  printf ' %s\r\n 1\r\n%s\r\n 1\r\n""\r\n 0\r\n""\r\n"di \xb6hola\xb6, {ENTER}"\r\n""\r\n""\r\n"Descripci\xf3"\r\n 1\r\n-1\r\n 0\r\n 0\r\n 0\r\n 100\r\n 0\r\n 0\r\n 640\r\n 445\r\n 0\r\n 0\r\n""\r\n"SO.WAV"\r\n"{|SONA so.wav}{|Tancar}"\r\n""\r\n 0\r\n 0\r\n' "$2" "$3" >"$1"
}
json() {  # json FILE EXPRESSION: evaluates a Python expression over the dump as d
  python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' "$1" "$2"
}

mkdir old new
board old/b.vxl 2 ""
touch old/SO.WAV

# dump: no message, exit 0, texts in UTF-8, ¶ back to a quote.
"$tool" dump old/b.vxl >dump.json || fail "dump exit $?"
[ "$(json dump.json 'd["areaCount"]')" = 1 ] || fail "areaCount"
[ "$(json dump.json 'd["startKeys"]')" = 'di "hola", {ENTER}' ] || fail "startKeys"
[ "$(json dump.json 'd["description"]')" = 'Descripció' ] || fail "description"
[ "$(json dump.json 'd["templateFolder"]')" = "$work/old" ] || fail "templateFolder"
[ "$(json dump.json 'd["modified"]')" = False ] || fail "modified"
[ "$(json dump.json 'd["areas"][0]["x1"]')" = 640 ] || fail "x1"

# A newer format: text 14, exit 1, no areas.
board new3.vxl 3 ""
set +e; "$tool" dump new3.vxl >v3.json; rc=$?; set -e
[ $rc = 1 ] || fail "version 3 exit $rc"
json v3.json 'd["messages"][0]' | grep -q "no reconoce este formato" || fail "text 14"
[ "$(json v3.json 'd["areaCount"]')" = 0 ] || fail "version 3 areas"

# save: the same bytes back.
"$tool" save old/b.vxl copy.vxl || fail "save exit $?"
cmp -s old/b.vxl copy.vxl || fail "save is not byte-identical"

# save-as into another folder: the sound is found in the old folder and kept there; the
# board without picture gets NEW.BMP.
"$tool" save-as old/b.vxl new/new.vxl || fail "save-as exit $?"
"$tool" dump new/new.vxl >saved.json || true
[ "$(json saved.json 'd["pictureFile"]')" = NEW.BMP ] || fail "default picture name"
[ "$(json saved.json 'd["areas"][0]["soundFile"]')" = "$work/old/SO.WAV" ] || fail "sound relocation"
[ "$(json saved.json 'd["areas"][0]["keys"]')" = "{|SONA $work/old/SO.WAV}{|Tancar}" ] ||
  fail "command relocation"

# save-as under a new name in the same folder: the cover is copied under the board's name
# with its own extension, and the reference follows it.
board old/pic.vxl 2 Cover.bmp
printf 'BM' >old/Cover.bmp
"$tool" save-as old/pic.vxl old/Renamed.VXL >/dev/null || true
[ -f old/RENAMED.bmp ] || fail "picture not copied"
[ -f old/Cover.bmp ] || fail "old picture removed"
"$tool" dump old/Renamed.VXL >renamed.json || true
[ "$(json renamed.json 'd["pictureFile"]')" = RENAMED.bmp ] || fail "picture reference"

# save-as with another extension writes nothing.
"$tool" save-as old/b.vxl new/x.txt || fail "save-as .txt exit $?"
[ ! -e new/x.txt ] || fail "x.txt written"

# "--" ends the options: a board whose name starts with "-".
cp old/b.vxl ./-b.vxl
"$tool" dump -- -b.vxl >dash.json || fail "dump -- -b.vxl exit $?"
[ "$(json dash.json 'd["areaCount"]')" = 1 ] || fail "dump after --"

# A picture name with commas, written bare as boards always had it: the whole line.
board old/comma.vxl 2 'Sol, lluna i estels.bmp'
"$tool" dump old/comma.vxl >comma.json || true
[ "$(json comma.json 'd["pictureFile"]')" = 'Sol, lluna i estels.bmp' ] || fail "picture with commas"
[ "$(json comma.json 'd["areaCount"]')" = 1 ] || fail "areas after a picture with commas"
"$tool" save old/comma.vxl comma2.vxl >/dev/null || true
cmp -s old/comma.vxl comma2.vxl || fail "picture with commas not written back as read"

# Usage errors.
set +e; "$tool" dump >/dev/null 2>&1; rc=$?; set -e
[ $rc = 2 ] || fail "usage exit $rc"
echo "tool_templates: ok"
