#!/usr/bin/env bash
# The board itself on GNOME: a headless mutter with XWayland, as a GNOME session runs it, and
# the program in use mode there, with a start program that is a native Wayland window. The
# desktop's notice comes first and is answered with Return (XWayland's own keyboard reaches
# the notice alone); then the board's areas, clicked with the remote-desktop pointer, must
# type into the window, which must keep the focus all along.
source "$(dirname "$0")/lib.bash"
source "$E2E_DIR/lib/gnome_desktop.bash"
command -v Xwayland >/dev/null || fail "Xwayland is not installed (make deps installs it)"

start_desktop us x11
x() { DISPLAY=$XDISPLAY XAUTHORITY=$XAUTH "$@"; }
"$PYTHON" "$E2E_DIR/lib/grid_board.py" "$WORK/grid.vxl" --keys 'Hola ,adéu ,Ñ€«»,{ENTER}' \
    --program "$BUILD/bin/qt-target --caption Recorder --out $DESKTOP/board --geometry 200x100+0+0"
printf '[Vexil]\r\nInterval= 500\r\nmodus= 0\r\ntemps= 10\r\n' >"$WORK/MOUSE.USR"
# Written here, the board is one from elsewhere: trusted first, as its teacher would.
"$TOOL" trust "$WORK/grid.vxl" >/dev/null || fail "vexil-tool trust"
XDG_SESSION_TYPE=wayland DISPLAY=$XDISPLAY XAUTHORITY=$XAUTH "$BUILD/bin/vexil" "$WORK/MOUSE.USR" \
    "$WORK/grid.vxl" >"$DESKTOP/vexil.log" 2>&1 &
STARTED_PIDS+=("$!")
for i in $(seq 1 150); do
    notice=$(x xdotool search --onlyvisible --name '^Vexil$' 2>/dev/null | head -n1)
    [ -n "$notice" ] && break
    sleep 0.1
done
[ -n "$notice" ] || fail "no notice of what the desktop allows: $(cat "$DESKTOP/vexil.log")"
sleep 0.5
x xdotool key --window "$notice" Return
for i in $(seq 1 100); do
    grep -q '"ready"' "$DESKTOP/board.log" 2>/dev/null && break
    sleep 0.1
done
grep -q '"ready"' "$DESKTOP/board.log" 2>/dev/null ||
    fail "the board did not start its program: $(cat "$DESKTOP/vexil.log")"
sleep 1
read -r bx by bw bh < <(x xwininfo -id "$(x xdotool search --onlyvisible --name '^Vexil - ' | head -n1)" |
    awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF} /Width/ {w = $NF} /Height/ {h = $NF} END {print x, y, w, h}')
# The areas are the four quarters of the board; the small window lies in the middle of the
# screen, between them.
click_area() {  # COLUMN ROW (0 or 1)
    "$TOOL" play --real "{|Mouse M $((bx + bw / 4 + $1 * bw / 2)) $((by + bh / 4 + $2 * bh / 2)) CD}" \
        >>"$DESKTOP/clicks.out" 2>&1 || fail "vexil-tool play: $(cat "$DESKTOP/clicks.out")"
}
board_text() {  # EXPECTED WHAT
    for i in $(seq 1 50); do
        [ "$(cat "$DESKTOP/board.txt" 2>/dev/null)" == "$1" ] && return 0
        sleep 0.1
    done
    fail "$2: the window holds '$(cat "$DESKTOP/board.txt" 2>/dev/null)', not '$1'"
}
click_area 0 0
board_text "Hola " "a click on the board"
click_area 1 0
board_text "Hola adéu " "the second area"
click_area 0 1
board_text "Hola adéu Ñ€«»" "the third area"
! grep -q '"in":false' "$DESKTOP/board.log" || fail "the window lost the focus"
echo "the board through XWayland typed into the Wayland window it started, which kept the focus"
stop_desktop
echo "PASS"
