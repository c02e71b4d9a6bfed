# Shared by the end-to-end scripts (sourced, not run): a private X server with a window
# manager, target windows that record what they receive, and clean-up of exactly the
# processes started here.

E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${1:?usage: $0 BUILD_DIR}"
BUILD="$(cd "$BUILD" && pwd)"
TOOL="$BUILD/bin/vexil-tool"
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=python3
STARTED_PIDS=()
WORK="$(mktemp -d "${TMPDIR:-/tmp}/vexil-e2e.XXXXXX")"

cleanup() {
    local pid
    for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${STARTED_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
    [ -n "${KEEP_WORK:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need_x() {
    if ! command -v Xvfb >/dev/null; then
        echo "SKIPPED: Xvfb is not installed"
        exit 0
    fi
    command -v openbox >/dev/null || fail "openbox is not installed"
    [ -x "$TOOL" ] || fail "no vexil-tool in $BUILD/bin"
}

# Starts Xvfb on a display number it finds free itself (-displayfd, so that scripts run
# side by side never share a server), then openbox. -noreset: the server would otherwise
# reset when its last client leaves (the probe below), turning away whoever connects then.
start_x() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    local pid=$! i
    STARTED_PIDS+=("$pid")
    for i in $(seq 1 100); do
        [ -s "$WORK/display" ] && break
        sleep 0.1
    done
    [ -s "$WORK/display" ] || fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    export DISPLAY=":$(head -1 "$WORK/display")"
    xprop -root >/dev/null 2>&1 || fail "no X server on $DISPLAY"
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    STARTED_PIDS+=("$!")
    local i
    for i in $(seq 1 150); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    fail "openbox did not start"
}

# start_target TITLE NAME [extra arguments]: a recording text window; its files are
# $WORK/NAME.txt (the text) and $WORK/NAME.log (key and button events).
start_target() {
    local title="$1" name="$2"
    shift 2
    "$PYTHON" "$E2E_DIR/target_app.py" --title "$title" --out "$WORK/$name" "$@" \
        >>"$WORK/$name.stderr" 2>&1 &
    STARTED_PIDS+=("$!")
    local i
    for i in $(seq 1 100); do
        grep -q '"ready"' "$WORK/$name.log" 2>/dev/null && return 0
        sleep 0.1
    done
    fail "target window '$title' did not appear"
}

# wait_text NAME EXPECTED: waits up to 5 s for the window's text to be EXPECTED.
wait_text() {
    local name="$1" expected="$2" i
    for i in $(seq 1 50); do
        [ "$(cat "$WORK/$name.txt" 2>/dev/null)" == "$expected" ] && return 0
        sleep 0.1
    done
    echo "expected: $(printf '%q' "$expected")" >&2
    echo "received: $(printf '%q' "$(cat "$WORK/$name.txt" 2>/dev/null)")" >&2
    fail "text of $name"
}

# play ARGS...: vexil-tool play on the real platform; the JSON lines go to $WORK/play.out.
play() {
    "$TOOL" play --real "$@" >"$WORK/play.out" 2>"$WORK/play.err"
    local status=$?
    if [ "$status" -gt 1 ]; then
        cat "$WORK/play.err" >&2
        fail "vexil-tool play exited with $status"
    fi
    return 0
}
