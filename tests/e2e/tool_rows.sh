#!/usr/bin/env bash
# vexil-tool rows: the assistant's rows of a sequence and the sequence written back, the
# macros of a catalogue, and the usage errors.
# Usage: tool_rows.sh BUILD_DIR
set -euo pipefail
tool="$(cd "$1" && pwd)/bin/vexil-tool"
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# rows SEQUENCE [OPTIONS]: the lines, each checked to be one JSON object.
rows() {
  "$tool" rows "$@" 2>/dev/null >out.jsonl || fail "rows $* exit $?"
  python3 -c 'import json,sys; [json.loads(l) for l in open("out.jsonl")]' || fail "not JSON lines"
  cat out.jsonl
}

[ "$(rows 'hola{|Espera 2}{|Tancar}')" = '{"choice":"Escribe","param":"hola"}
{"choice":"Retardo","param":"2"}
{"choice":"Cerrar todo","param":""}
{"sequence":"hola{|Espera 2}{|Tancar}","icon":""}' ] || fail "plain text, a wait, a command without parameter"

# A nested conditional is one row; unbalanced and unknown commands stay text to type.
[ "$(rows -- '{|SIM x {{|Sona A.WAV}} {b}}ab{|Espera 2' | head -n2)" = '{"choice":"Si memoria es ...","param":"x {{|Sona A.WAV}} {b}"}
{"choice":"Escribe","param":"ab{|Espera 2"}' ] || fail "conditional and unclosed command"
[ "$(rows '{|Enganxa _A.GIF}^v' | tail -n1)" = '{"sequence":"{|Enganxa _A.GIF}^v","icon":"_A.GIF"}' ] ||
  fail "a picture becomes the icon"

# Macros of a catalogue's section, found only where their keys stand exactly.
printf '[Inici]\r\nversio=MAC1\r\nN_Prog=1\r\nPROG1=Editor\r\ncodi1=ED\r\n[ED]\r\nN_macro=2\r\ntitol1=Desar\r\ntecles1=^s\r\nicona1=DESA.BMP\r\ntitol2=Tancar\r\ntecles2=%%{F4}\r\n[BUIT]\r\nN_macro=0\r\n' >MACROS.INI
[ "$(rows --catalogue MACROS.INI --program ED 'a^s%{F4}^S')" = '{"choice":"Escribe","param":"a"}
{"choice":"Desar","param":""}
{"choice":"Tancar","param":""}
{"choice":"Escribe","param":"^S"}
{"sequence":"a^s%{F4}^S","icon":"DESA.BMP"}' ] || fail "macros"
[ "$(rows --catalogue MACROS.INI --program BUIT '^s' | wc -l)" = 2 ] || fail "a section without macros"

# Usage errors: exit 2.
for args in "" "--catalogue MACROS.INI a" "--program ED a" "--catalogue missing.ini --program ED a" "a b"; do
  set +e
  # shellcheck disable=SC2086
  "$tool" rows $args >/dev/null 2>&1
  status=$?
  set -e
  [ "$status" = 2 ] || fail "rows $args: exit $status"
done
"$tool" --help | grep -q '^  rows ' || fail "rows missing from --help"
echo "PASSED"
