# A headless GNOME desktop for the Wayland tests and benchmarks (sourced after lib.bash):
# mutter with no X11 on private session and system buses, the keyboard layout given by a
# fake systemd-localed, and the Qt recording window on Wayland, alone and full screen.
# Every process started here is stopped by stop_desktop or at exit.

command -v mutter >/dev/null || { echo "SKIPPED: mutter is not installed"; exit 0; }
command -v dbus-daemon >/dev/null || fail "dbus-daemon is not installed"
[ -x "$TOOL" ] || fail "no vexil-tool in $BUILD/bin"
[ -x "$BUILD/bin/qt-target" ] || fail "no qt-target in $BUILD/bin"
"$PYTHON" -c 'import dbus, gi' 2>/dev/null || fail "python3-dbus and python3-gi are needed"
unset DISPLAY VEXIL_INPUT QT_QPA_PLATFORM
export XDG_DATA_HOME="$WORK/data" XDG_CONFIG_HOME="$WORK/config"

DESKTOP_PIDS=()
# Starts a process in the background, owned by the desktop being set up.
own() {
    "$@" &
    DESKTOP_PIDS+=("$!")
    STARTED_PIDS+=("$!")
}

# A private bus; its address goes into the variable named $1.
start_bus() {
    local file="$WORK/$1.address"
    : >"$file"
    own dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$file" 2>/dev/null
    local i
    for i in $(seq 1 50); do
        [ -s "$file" ] && break
        sleep 0.1
    done
    [ -s "$file" ] || fail "the private D-Bus daemon did not start"
    printf -v "$1" '%s' "$(head -n1 "$file")"
}

# start_desktop LAYOUT [x11]: buses, the layout, mutter; then the recording window, alone
# and full screen (so its pixels are the screen's), with the focus. With "x11", mutter runs
# XWayland as a GNOME session does (its display in XDISPLAY, its key in XAUTH), and no
# recording window is started.
start_desktop() {
    local layout=$1 x11=${2:-} i
    DESKTOP="$WORK/$layout"
    mkdir -p "$DESKTOP/run"
    chmod 700 "$DESKTOP/run"
    export XDG_RUNTIME_DIR="$DESKTOP/run"
    start_bus SYSTEM_ADDRESS
    start_bus SESSION_ADDRESS
    export DBUS_SYSTEM_BUS_ADDRESS="$SYSTEM_ADDRESS" DBUS_SESSION_BUS_ADDRESS="$SESSION_ADDRESS"
    own "$PYTHON" "$E2E_DIR/lib/fake_locale1.py" "$layout" >"$DESKTOP/locale1.log" 2>&1
    for i in $(seq 1 50); do
        grep -q ready "$DESKTOP/locale1.log" && break
        sleep 0.1
    done
    export WAYLAND_DISPLAY="vexil-e2e-$layout"
    local no_x11=(--no-x11)
    [ -z "$x11" ] || no_x11=()
    own mutter --headless --wayland "${no_x11[@]}" --virtual-monitor 1024x768 \
        --wayland-display="$WAYLAND_DISPLAY" >"$DESKTOP/mutter.log" 2>&1
    for i in $(seq 1 100); do
        [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
        sleep 0.1
    done
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || fail "mutter did not start: $(tail -5 "$DESKTOP/mutter.log")"
    if [ -n "$x11" ]; then
        for i in $(seq 1 100); do
            XDISPLAY=$(grep -o 'Using public X11 display :[0-9]*' "$DESKTOP/mutter.log" | grep -o ':[0-9]*$')
            XAUTH=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
            [ -n "$XDISPLAY" ] && [ -n "$XAUTH" ] &&
                DISPLAY=$XDISPLAY XAUTHORITY=$XAUTH xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null |
                grep -q 'window id' && return 0
            sleep 0.1
        done
        fail "mutter started no XWayland: $(tail -5 "$DESKTOP/mutter.log")"
    fi
    start_target target
}

# start_target NAME: the recording window, writing $DESKTOP/NAME.txt and NAME.log, alone and
# full screen with the focus; the one started before is closed.
start_target() {
    local i
    if [ -n "${TARGET_PID:-}" ]; then
        kill "$TARGET_PID" 2>/dev/null
        wait "$TARGET_PID" 2>/dev/null
    fi
    QT_QPA_PLATFORM=wayland QT_IM_MODULE=${TARGET_IM:-} own "$BUILD/bin/qt-target" --caption Recorder \
        --out "$DESKTOP/$1" --fullscreen >"$DESKTOP/$1.stderr" 2>&1
    TARGET_PID=$!
    for i in $(seq 1 100); do
        grep -q '"ready"' "$DESKTOP/$1.log" 2>/dev/null && break
        sleep 0.1
    done
    grep -q '"ready"' "$DESKTOP/$1.log" 2>/dev/null ||
        fail "the Wayland target did not appear: $(cat "$DESKTOP/$1.stderr")"
}

stop_desktop() {
    local i pid kept=() p
    for ((i = ${#DESKTOP_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${DESKTOP_PIDS[i]}
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    for p in "${STARTED_PIDS[@]}"; do
        [[ " ${DESKTOP_PIDS[*]} " == *" $p "* ]] || kept+=("$p")
    done
    STARTED_PIDS=("${kept[@]}")
    DESKTOP_PIDS=()
    TARGET_PID=
}

