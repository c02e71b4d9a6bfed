#!/usr/bin/env bash
# vexil-tool export-obz and import-obz as a script sees them: the demo boards out to a
# package that passes the format's rules (an independent checker written from its
# documentation), back to the same bytes; exit statuses and messages of refused input.
# Usage: tool_obz.sh BUILD_DIR
set -euo pipefail
tool="$(cd "$1" && pwd)/bin/vexil-tool"
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
umask 022
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir demo
cp "$src"/examples/{LLETRES,FRASES}.{VXL,BMP} demo/

# Export: exit 0, a summary line, a package the rules checker accepts.
"$tool" export-obz demo/LLETRES.VXL demo.obz >export.out || fail "export exit $?"
grep -q '^wrote 2 board(s) to demo.obz$' export.out || fail "export summary: $(cat export.out)"
python3 "$src/tests/obf/check_obf.py" demo.obz || fail "rules"
[ "$(stat -c %a demo.obz)" = 644 ] || fail "the package is not readable by others: $(stat -c %a demo.obz)"
# A single board too.
"$tool" export-obz demo/FRASES.VXL frases.obf >/dev/null || fail "obf export"
python3 "$src/tests/obf/check_obf.py" frases.obf || fail "obf rules"

# Import: the same files, byte for byte; the cycle between the two boards is noted.
"$tool" import-obz demo.obz back/ >import.out || fail "import exit $?"
grep -q "cycle" import.out || fail "cycle note: $(cat import.out)"
grep -q "the first is $work/back/LLETRES.VXL" import.out || fail "import summary: $(cat import.out)"
diff -r demo back || fail "round trip differs"
[ "$(stat -c %a back)" = 755 ] || fail "the imported folder is private: $(stat -c %a back)"
"$tool" import-obz frases.obf back1 >/dev/null || fail "obf import"
cmp demo/FRASES.VXL back1/FRASES.VXL || fail "obf round trip"

# Refused input: exit 1, the reason on standard error, nothing written.
set +e
"$tool" import-obz demo.obz back 2>err.txt >/dev/null; rc=$?
set -e
[ $rc = 1 ] || fail "non-empty folder exit $rc"
grep -q "is not empty" err.txt || fail "non-empty message: $(cat err.txt)"
python3 - <<'PY'
import zipfile
with zipfile.ZipFile("evil.obz", "w") as z:
    z.writestr("manifest.json", '{"format":"open-board-0.1","root":"b.obf","paths":{"boards":{"1":"b.obf"}}}')
    z.writestr("b.obf", '{"format":"open-board-0.1","id":"1","buttons":[]}')
    z.writestr("../../escaped.txt", "x")
with zipfile.ZipFile("bomb.obz", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("manifest.json", '{"format":"open-board-0.1","root":"b.obf","paths":{"boards":{"1":"b.obf"}}}')
    z.writestr("b.obf", '{"format":"open-board-0.1","id":"1","buttons":[]' + " " * (65 * 1024 * 1024) + "}")
PY
cp export.out notzip.obz
for case in "evil.obz:climbs out" "bomb.obz:inflates to more than" "notzip.obz:not a zip"; do
  file=${case%%:*} text=${case#*:}
  set +e; "$tool" import-obz "$file" out 2>err.txt >/dev/null; rc=$?; set -e
  [ $rc = 1 ] || fail "$file exit $rc"
  grep -q "$text" err.txt || fail "$file message: $(cat err.txt)"
  [ ! -e out ] || fail "$file left out/"
  [ -z "$(ls -A . | grep vexil-import || true)" ] || fail "$file left a temporary folder"
done
[ ! -e escaped.txt ] && [ ! -e ../escaped.txt ] || fail "an entry escaped"

# Usage errors: exit 2.
set +e; "$tool" export-obz only-one >/dev/null 2>&1; rc=$?; set -e
[ $rc = 2 ] || fail "usage exit $rc"
"$tool" --help | grep -q "import-obz IN.obz|IN.obf OUTDIR" || fail "help"
echo "tool_obz: ok"
