#!/usr/bin/env bash
# Keys and the pointer into a native Wayland application on GNOME: a headless mutter (no
# X11) on private session and system buses, a Qt window on Wayland that records what it
# reads, and `vexil-tool play --real` with WAYLAND_DISPLAY and no DISPLAY.
#  - With no portal on the bus, the program takes GNOME's own remote-desktop service:
#    1,000 ASCII characters and a Catalan/Spanish text under the us, es, de and fr layouts
#    (a fake systemd-localed gives the compositor its layout), every character checked;
#    a pointer move and click where the window sees it; the clipboard given back after a
#    paste.
#  - With a portal (a fake one in front of mutter's service): the options the program
#    asks for, the restore token kept (0600) and brought back at the second start, and the
#    keys arriving both times.
# Usage: wayland_gnome.sh BUILD_DIR
source "$(dirname "${BASH_SOURCE[0]}")/lib.bash"
source "$E2E_DIR/lib/gnome_desktop.bash"

# type_into NAME TEXT: plays TEXT (escaped for the key notation) and checks that the
# window's text became exactly TEXT, naming the first character that went wrong.
type_into() {
    local name=$1 text=$2 sequence
    sequence=$("$PYTHON" -c 'import sys,re; print(re.sub(r"([+^%~(){}\[\]])", r"{\1}", sys.argv[1]), end="")' "$text")
    "$TOOL" play --real --window "$FOCUSED" -- "$sequence" >"$DESKTOP/$name.out" 2>"$DESKTOP/$name.err"
    [ $? -le 1 ] || fail "$name: vexil-tool play failed: $(cat "$DESKTOP/$name.err")"
    head -n1 "$DESKTOP/$name.out" | grep -q '"backend":"remote-desktop"' ||
        fail "$name: keys did not go through the remote-desktop service: $(head -n1 "$DESKTOP/$name.out") $(cat "$DESKTOP/$name.err")"
    grep -q '"op":"message"' "$DESKTOP/$name.out" && fail "$name: $(grep '"op":"message"' "$DESKTOP/$name.out")"
    # The window may read the last keys a while after the tool ends, on a loaded machine
    # more so: speed is measured in bench/, here only what arrives.
    local i got=""
    for i in $(seq 1 200); do
        got=$(cat "$DESKTOP/target.txt" 2>/dev/null)
        [ "$got" == "$EXPECTED$text" ] && break
        sleep 0.1
    done
    EXPECTED="$EXPECTED$text"
    [ "$got" == "$EXPECTED" ] && return 0
    "$PYTHON" - "$EXPECTED" "$got" <<'PY' >&2
import sys
want, got = sys.argv[1], sys.argv[2]
i = next((i for i, (a, b) in enumerate(zip(want, got)) if a != b), min(len(want), len(got)))
print("first difference at %d of %d (got %d): expected %r, received %r"
      % (i, len(want), len(got), want[i:i + 20], got[i:i + 20]))
PY
    fail "$name: the text in the window is not what was typed"
}

# Without a window list, the one window the program knows is the focused application.
FOCUSED="(la aplicación que tiene el foco)"
ASCII=$("$PYTHON" -c '
import random
random.seed(21)
chars = "".join(chr(c) for c in range(0x20, 0x7f))
print("".join(random.choice(chars) for _ in range(1000)), end="")')
CATALAN="Àvia Núria, què és això? Ça va, Ñandú! L·lí diu: «Sí, és clar»; ÉS ÒPTIM, ÍNTEGRE I ÚNIC. àèéíòóúüçñ ¿Qué? ¡Sí! 5 €, l'olla·ïa"

for layout in us es de fr; do
    start_desktop "$layout"
    EXPECTED=""
    type_into "ascii-$layout" "$ASCII"
    type_into "catalan-$layout" "$CATALAN"
    if [ "$layout" == us ]; then
        # The pointer: a move and a click (the left button) where the window sees them.
        "$TOOL" play --real -- '{|MOUSE M 300 200 CD}' >"$DESKTOP/mouse.out" 2>"$DESKTOP/mouse.err"
        for i in $(seq 1 30); do
            grep -q '"type":"button"' "$DESKTOP/target.log" && break
            sleep 0.1
        done
        press=$(grep '"type":"button"' "$DESKTOP/target.log" | tail -n1)
        [[ $press == *'"num":1,'* && $press == *'"x_root":300,'* && $press == *'"y_root":200}'* ]] ||
            fail "the click did not arrive at (300, 200) with the left button: ${press:-nothing} $(cat "$DESKTOP/mouse.err")"
    fi
    if [ "$layout" == us ]; then
        # What the clipboard held comes back after a paste: the window copies all its text;
        # then "é" is pasted and a Ctrl+V pastes the window's text again (in the same run:
        # what the session gives back goes when it ends).
        held=$EXPECTED
        "$TOOL" play --real --window "$FOCUSED" -- '^a^c^{END}' >"$DESKTOP/held.out" 2>&1
        sleep 0.3
        "$TOOL" play --real --window "$FOCUSED" -- 'é^v' >>"$DESKTOP/held.out" 2>&1
        for i in $(seq 1 50); do
            [ "$(cat "$DESKTOP/target.txt")" == "${held}é$held" ] && break
            sleep 0.1
        done
        [ "$(cat "$DESKTOP/target.txt")" == "${held}é$held" ] ||
            fail "the clipboard did not get back what it held before the paste"
    fi
    echo "ok: $layout: ${#ASCII} ASCII and ${#CATALAN} Catalan/Spanish characters arrived exactly"
    stop_desktop
done

# The portal route: consent once, then the restore token.
start_desktop us
own "$PYTHON" "$E2E_DIR/lib/fake_portal.py" "$DESKTOP/portal.log" >"$DESKTOP/portal.stderr" 2>&1
for i in $(seq 1 50); do
    grep -q ready "$DESKTOP/portal.stderr" && break
    sleep 0.1
done
grep -q ready "$DESKTOP/portal.stderr" || fail "the fake portal did not start: $(cat "$DESKTOP/portal.stderr")"
EXPECTED=""
type_into portal-first "First start, asked. "
token_file="$XDG_DATA_HOME/vexil/remote-desktop-token"
[ -f "$token_file" ] || fail "no restore token was kept"
[ "$(stat -c %a "$token_file")" == 600 ] || fail "the restore token file is not private: $(stat -c %a "$token_file")"
[ "$(cat "$token_file")" == vexil-test-token-1 ] || fail "the token kept is not the one handed out: $(cat "$token_file")"
type_into portal-second "Second start, restored."
"$PYTHON" - "$DESKTOP/portal.log" <<'PY' || fail "the portal was not asked as it should be: $(cat "$DESKTOP/portal.log")"
import json, sys
calls = [json.loads(l) for l in open(sys.argv[1])]
select = [c["options"] for c in calls if c["call"] == "SelectDevices"]
starts = [c for c in calls if c["call"] == "Start"]
assert len(select) == 2 and len(starts) == 2, calls
for s in select:
    assert s["types"] == 3 and s["persist_mode"] == 2, s
assert "restore_token" not in select[0], select[0]
assert select[1]["restore_token"] == "vexil-test-token-1", select[1]
assert [s["consent"] for s in starts] == ["asked", "restored"], starts
PY
grep -q "vexil-test-token-2" "$token_file" || fail "the second start's token was not kept"
echo "ok: portal: consent asked once, the restore token brought back, keys arrived both times"
stop_desktop
