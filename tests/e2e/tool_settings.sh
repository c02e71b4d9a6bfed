#!/usr/bin/env bash
# vexil-tool profile and catalogue on small files: the JSON they print and their exit codes.
# Usage: tool_settings.sh BUILD_DIR
set -euo pipefail
tool=$(cd "$1" && pwd)/bin/vexil-tool
work=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$work"' EXIT
cd "$work"
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config"

fail() { echo "FAIL: $*" >&2; exit 1; }
check() {  # check JSON JQ_FILTER EXPECTED
  local got
  got=$(jq -c "$2" <<<"$1")
  [ "$got" = "$3" ] || fail "$2: got $got, expected $3"
}

printf '[Vexil]\r\nInterval=50\r\nSo=No\r\nmodus=3.5\r\ngruix=-3\r\ncolor=0\r\nvariable2=" ab"\r\njoystic_sensi=0\r\n' > ANA.USR
out=$("$tool" profile ANA.USR)
check "$out" '.Interval' '100'
check "$out" '.So' '"No"'
check "$out" '.accessMode' '4'
check "$out" '.gruix' '8'
check "$out" '.color' '255'
check "$out" '.switches[2].variable' '" ab"'
check "$out" '.joystic_sensi' '1'
check "$out" '.joystic_retard' '10'
check "$out" '.messages' '[]'

printf '[Vexil]\r\ntemps=99999\r\n' > BIG.USR
set +e; out=$("$tool" profile BIG.USR); rc=$?; set -e
[ "$rc" = 1 ] || fail "overflow exit code $rc"
check "$out" '.messages' '["1 Error 6"]'

set +e; "$tool" profile missing.usr 2>/dev/null; rc=$?; set -e
[ "$rc" = 2 ] || fail "missing profile exit code $rc"

touch A.EXE
printf '[Inici]\r\nversio=MAC1\r\nN_Prog=2\r\nPROG1=Editor\r\ncodi1=Ed\r\ncami1=C:\\APPS\\a.exe\r\nPROG2=None\r\ncami2=NOT-INSTALLED.EXE\r\n[ED]\r\nN_macro=2\r\ntitol1=Negreta\r\ntecles1=^b\r\nicona1=n.bmp\r\ntitol2=Cursiva\r\n' > MACROS.INI
out=$("$tool" catalogue MACROS.INI --macros ed)
check "$out" '[.programs[].name]' '["Editor","None"]'
check "$out" '.programs[0].file' '"A.EXE"'
check "$out" '.programCatalogue' "\"|A.EXE|$work/A.EXE|\""
check "$out" '[.macros[].title]' '["Negreta","Cursiva"]'
check "$out" '.macros[0].icon' '"n.bmp"'

printf '[Inici]\r\nversio=MAC2\r\nN_Prog=1\r\nPROG1=Editor\r\n' > OLD.INI
out=$("$tool" catalogue OLD.INI)
check "$out" '.programs' '[]'
check "$out" '.programCatalogue' '""'
echo "tool_settings: ok"
