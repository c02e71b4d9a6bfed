#!/usr/bin/env bash
# Keys and the pointer on a wlroots compositor: a private headless sway, a native Wayland
# Qt window that records what it receives, and `vexil-tool play --real` with only
# WAYLAND_DISPLAY set. Under the us, es, de and fr layouts, 1,000 ASCII characters and a
# Catalan and Spanish text (accents, capitals, "·", "€", "«»", "Ñ", characters beyond
# Windows-1252) must arrive exactly, and a left and a right click where they were sent;
# the layout changed while the tool runs must not change what arrives. Then the board itself,
# in use mode through XWayland, starts a native Wayland window and types into it when its
# areas are clicked, without ever keeping the focus.
source "$(dirname "$0")/lib.bash"

command -v sway >/dev/null || { echo "SKIPPED: sway is not installed"; exit 0; }
command -v Xwayland >/dev/null || fail "Xwayland is not installed (make deps installs it)"
[ -x "$TOOL" ] || fail "no vexil-tool in $BUILD/bin"
[ -x "$BUILD/bin/qt-target" ] || fail "no qt-target in $BUILD/bin"

# sway refuses to run as root: then it and the target window run as an unprivileged user
# (made here if absent); root may still connect to that user's sockets.
RUN_AS=()
if [ "$(id -u)" = 0 ]; then
    user=vexil-e2e
    if ! id -u "$user" >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
            "$user" || fail "could not create the user $user for sway"
    fi
    RUN_AS=(setpriv --reuid="$(id -u "$user")" --regid="$(id -g "$user")" --clear-groups)
    chmod 755 "$WORK"
fi
RUNTIME="$WORK/runtime"
OUT="$WORK/out"  # the target's files, written by the user
mkdir -m 700 "$RUNTIME"
mkdir -m 777 "$OUT"
[ ${#RUN_AS[@]} -eq 0 ] || chown "$user" "$RUNTIME"
# The target runs from here, whatever the permissions of the build folder.
cp "$BUILD/bin/qt-target" "$WORK/qt-target"
cat >"$WORK/sway.config" <<'EOF'
xwayland force
default_border none
for_window [title="^Vexil - "] floating enable
output * resolution 1024x768
input * xkb_layout us
EOF
chmod 644 "$WORK/sway.config"

"${RUN_AS[@]}" env -i PATH=/usr/bin:/bin HOME="$WORK" XDG_RUNTIME_DIR="$RUNTIME" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway --verbose -c "$WORK/sway.config" >"$WORK/sway.log" 2>&1 &
STARTED_PIDS+=("$!")
for i in $(seq 1 100); do
    socket=$(ls "$RUNTIME" 2>/dev/null | grep -E '^wayland-[0-9]+$' | head -n1)
    ipc=$(ls "$RUNTIME" 2>/dev/null | grep -E '^sway-ipc\..*\.sock$' | head -n1)
    # sway's XWayland lets in its own user only; root is let in too.
    xdisplay=$(grep -o 'Starting Xwayland on :[0-9]*' "$WORK/sway.log" | grep -o ':[0-9]*$')
    [ -n "$socket" ] && [ -n "$ipc" ] && [ -n "$xdisplay" ] &&
        "${RUN_AS[@]}" env DISPLAY="$xdisplay" xhost +si:localuser:root >/dev/null 2>&1 && break
    sleep 0.1
done
[ -n "$socket" ] && [ -n "$ipc" ] && [ -n "$xdisplay" ] ||
    fail "sway did not start with XWayland: $(tail -n 5 "$WORK/sway.log")"
sway_msg() { swaymsg -s "$RUNTIME/$ipc" "$@" >>"$WORK/swaymsg.log" 2>&1 || fail "swaymsg $*"; }

# The tool sees only the Wayland display.
unset DISPLAY
export WAYLAND_DISPLAY="$RUNTIME/$socket"

target_pid=
# start_wayland_target NAME: a fresh target window (the one before is closed), focused.
start_wayland_target() {
    local name="$1" i
    [ -z "$target_pid" ] || { kill "$target_pid"; wait "$target_pid" 2>/dev/null; }
    "${RUN_AS[@]}" env -i PATH=/usr/bin:/bin HOME="$WORK" XDG_RUNTIME_DIR="$RUNTIME" \
        WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland \
        "$WORK/qt-target" --caption "Vexil $name" --out "$OUT/$name" >"$WORK/$name.stderr" 2>&1 &
    target_pid=$!
    STARTED_PIDS+=("$target_pid")
    for i in $(seq 1 100); do
        grep -q '"ready"' "$OUT/$name.log" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "the Wayland target '$name' did not appear: $(cat "$WORK/$name.stderr")"
}

# expect_text NAME EXPECTED: waits up to 5 s for the target's text, then names the first
# character that differs.
expect_text() {
    "$PYTHON" - "$OUT/$1.txt" "$2" <<'EOF'
import sys, time
path, expected = sys.argv[1], sys.argv[2]
got = ""
for _ in range(50):
    try:
        got = open(path, encoding="utf-8").read()
    except FileNotFoundError:
        got = ""
    if got == expected:
        sys.exit(0)
    time.sleep(0.1)
i = next((k for k in range(min(len(got), len(expected))) if got[k] != expected[k]),
         min(len(got), len(expected)))
print(f"{len(got)} characters arrived, {len(expected)} were sent; first difference at {i}:"
      f" expected {expected[i:i+1]!r} in ...{expected[max(0, i-10):i+10]!r},"
      f" received ...{got[max(0, i-10):i+10]!r}", file=sys.stderr)
sys.exit(1)
EOF
}

# expect_button NAME NUM X Y: the target saw button NUM pressed at (X, Y), give or take 2.
expect_button() {
    local i
    for i in $(seq 1 30); do
        "$PYTHON" - "$OUT/$1.log" "$2" "$3" "$4" <<'EOF' && return 0
import json, sys
path, num, x, y = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
for line in open(path):
    e = json.loads(line)
    if e.get("type") == "button" and e["num"] == num and \
            abs(e["x_root"] - x) <= 2 and abs(e["y_root"] - y) <= 2:
        sys.exit(0)
sys.exit(1)
EOF
        sleep 0.1
    done
    fail "$1: no press of button $2 at ($3, $4) reached the target: $(grep button "$OUT/$1.log")"
}

# 1,000 printable ASCII characters; the notation's own characters are written in braces.
ascii=$("$PYTHON" -c '
import random
random.seed(7)
print("".join(chr(random.randrange(32, 127)) for _ in range(1000)), end="")')
ascii_keys=$("$PYTHON" -c '
import sys
print("".join("{%s}" % c if c in "+^%~(){}[]" else c for c in sys.argv[1]), end="")' "$ascii")
catalan='Català: «Això és il·lícit», digué l’Ñoño. Cinquanta € per pa i vi; ÀÉÈÍÏÒÓÚÜÇ àéèíïòóúüç ¿Sí? ¡Olé! Œ œ Ÿ ÿ ß µ – — … ‰ ™ ¤ ½ Ŀŀ āĀ ✓'
# Then Shift+x, and Ctrl+End (the cursor is at the end already: it types nothing).
catalan_keys="${catalan}{ENTER}fi+x^{END}"
catalan_text="${catalan}"$'\n'"fiX"

for layout in us es de fr; do
    sway_msg "input * xkb_layout $layout"
    start_wayland_target "$layout"
    play --window "Vexil $layout" "$ascii_keys"
    head -n1 "$WORK/play.out" | grep -q '"backend":"wlroots"' ||
        fail "$layout: the keys did not go through wlroots: $(head -n1 "$WORK/play.out") $(cat "$WORK/play.err")"
    expect_text "$layout" "$ascii" || fail "$layout: the ASCII characters"
    play --window "Vexil $layout" "$catalan_keys"
    expect_text "$layout" "$ascii$catalan_text" || fail "$layout: the accented characters"
    grep -q '"key":16777233,"state":2,' "$OUT/$layout.log" || fail "$layout: no Ctrl+End event"
    # A left click, then a right one, in screen pixels (the window fills the 1024 x 768
    # output).
    play --window "Vexil $layout" '{|Mouse M 300 200 CD}'
    expect_button "$layout" 1 300 200
    play --window "Vexil $layout" '{|Mouse M 420 330 CE}'
    expect_button "$layout" 3 420 330
    echo "$layout: 1000 ASCII and the $("$PYTHON" -c 'import sys; print(len(sys.argv[1]))' "$catalan_text")-character Catalan text arrived exactly; both clicks too"
done

# A stretch with more characters beyond Windows-1252 than one map has room for: it goes in
# parts, each with its map handed over before its keys.
beyond=$("$PYTHON" -c 'print("".join(chr(c) for c in list(range(0x3B1, 0x3CA)) + list(range(0x2600, 0x2630))) + " ok", end="")')
start_wayland_target beyond
play --window "Vexil beyond" "$beyond"
expect_text beyond "$beyond" || fail "the characters beyond one map's room"
echo "$("$PYTHON" -c 'import sys; print(len(sys.argv[1]))' "$beyond") characters, most beyond Windows-1252, arrived exactly in one stretch"

# sway hands every keyboard, the program's own included, the layout of its configuration
# whenever that changes: the tool's own map must come back before its next keys.
sway_msg "input * xkb_layout us"
start_wayland_target switch
"$TOOL" play --real --window "Vexil switch" 'ñé«{|Espera 15}çà»Ñ€' >"$WORK/switch.out" 2>"$WORK/switch.err" &
tool_pid=$!
STARTED_PIDS+=("$tool_pid")
expect_text switch 'ñé«' || fail "the first stretch before the change of layout"
sway_msg "input * xkb_layout de"
wait "$tool_pid"
expect_text switch 'ñé«çà»Ñ€' || fail "the keys after the layout changed under the tool"
echo "a layout changed while typing: the keys still arrived exactly"

# The board in use mode, shown through XWayland as on a user's desktop, with a start program
# that is a native Wayland window. The window must keep the focus when the board appears;
# sway gives the focus to any window clicked, the board included, and the keys must still
# reach the window.
kill "$target_pid"
focused() {
    swaymsg -s "$RUNTIME/$ipc" -t get_tree | "$PYTHON" -c '
import json, sys
def walk(n):
    if n.get("focused"):
        print(n.get("name") or "")
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))'
}
cp "$WORK/qt-target" "$WORK/board-target"
"$PYTHON" "$E2E_DIR/lib/grid_board.py" "$WORK/grid.vxl" --keys 'Hola ,adéu ,Ñ€«»,{ENTER}' \
    --program "$WORK/board-target --caption Recorder --out $OUT/board"
printf '[Vexil]\r\nInterval= 500\r\nmodus= 0\r\ntemps= 10\r\n' >"$WORK/MOUSE.USR"
mkdir -p "$WORK/home"
# Written here, the board is one from elsewhere: trusted first, as its teacher would.
XDG_DATA_HOME="$WORK/home/data" "$TOOL" trust "$WORK/grid.vxl" >/dev/null || fail "vexil-tool trust"
XDG_SESSION_TYPE=wayland DISPLAY="$xdisplay" HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/config" \
    XDG_DATA_HOME="$WORK/home/data" "$BUILD/bin/vexil" "$WORK/MOUSE.USR" "$WORK/grid.vxl" \
    >"$WORK/vexil.log" 2>&1 &
STARTED_PIDS+=("$!")
for i in $(seq 1 100); do
    grep -q '"ready"' "$OUT/board.log" 2>/dev/null &&
        [ -n "$(DISPLAY=$xdisplay xdotool search --onlyvisible --name '^Vexil - ' 2>/dev/null)" ] && break
    sleep 0.1
done
grep -q '"ready"' "$OUT/board.log" 2>/dev/null || fail "the board did not start its program: $(cat "$WORK/vexil.log")"
sleep 1
[ "$(focused)" == Recorder ] || fail "the board took the focus when it appeared: '$(focused)' has it"
# Where the board lies on the screen (floating, as the configuration above says: tiled, it
# would be drawn at the size it asked for, cut to its tile): its areas are the four quarters
# of the picture, each inset a little.
read -r bx by bw bh < <(DISPLAY=$xdisplay xwininfo -id "$(DISPLAY=$xdisplay xdotool search --onlyvisible --name '^Vexil - ' | head -n1)" |
    awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} /Width/ {w = $NF} /Height/ {h = $NF} END {print x, y, w, h}')
click_area() {  # COLUMN ROW (0 or 1)
    play "{|Mouse M $((bx + bw / 4 + $1 * bw / 2)) $((by + bh / 4 + $2 * bh / 2)) CD}"
}
click_area 0 0
expect_text board "Hola " || fail "a click on the board did not type into the window"
click_area 1 0
expect_text board "Hola adéu " || fail "the second area"
click_area 0 1
expect_text board "Hola adéu Ñ€«»" || fail "the third area"
[ "$(focused)" == Recorder ] || fail "after the clicks the focus stayed with '$(focused)'"
echo "the board through XWayland typed into the Wayland window it started, which kept the focus"
echo "PASS"
