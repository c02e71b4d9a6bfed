#!/usr/bin/env bash
# Typing speed on GNOME's Wayland path: the remote-desktop key sender (remote-desktop-probe:
# a session opened, then the text typed) into the Qt recorder on a headless mutter,
# under the us and es layouts. Each text is timed from the call of `send` to the moment the
# recorder read its last key (its log), and to the moment `send` returned; every character
# is checked. Texts: 1,000 ASCII characters, and the 100 Catalan/Spanish characters of
# bench/bench_texts.py (on us every accented letter goes through the clipboard, on es by keys
# and dead keys).
# Usage: bench/wayland_gnome_typing.sh BUILD_DIR [RUNS]     (medians of RUNS, default 5)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../tests/e2e/lib.bash" "$1"
source "$E2E_DIR/lib/gnome_desktop.bash"
RUNS=${2:-5}
PROBE="$BUILD/bin/remote-desktop-probe"
[ -x "$PROBE" ] || fail "no remote-desktop-probe in $BUILD/bin (cmake --build BUILD --target remote-desktop-probe)"

"$PYTHON" - "$here" "$WORK" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from bench_texts import ACCENTED, ASCII
open(sys.argv[2] + "/ascii.txt", "w").write(ASCII)
open(sys.argv[2] + "/accented.txt", "w").write(ACCENTED)
PY

# Waits until the recorder's text ($DESKTOP/$1.txt) has stopped growing.
settle_target() {
    local last=-1 now
    for _ in $(seq 1 100); do
        now=$(stat -c %s "$DESKTOP/$1.txt" 2>/dev/null || echo 0)
        [ "$now" == "$last" ] && return
        last=$now
        sleep 0.3
    done
}

for layout in us es; do
    start_desktop "$layout"
    # One session for every text, as in the program; each text once the recorder has read
    # everything before it (it reads a thousand keys more slowly than they are sent on a
    # busy machine, and a text timed behind another's backlog would measure the backlog).
    # Each run types into a fresh window: a text field lays out its whole paragraph again
    # at every key, and a paragraph grown over the runs would time the window's layout.
    files=()
    for _ in $(seq 1 "$RUNS"); do files+=("$WORK/ascii.txt" "$WORK/accented.txt"); done
    coproc PROBE_RUN { "$PROBE" --step "${files[@]}" 2>>"$DESKTOP/probe.err"; }
    STARTED_PIDS+=("$PROBE_RUN_PID")
    : >"$DESKTOP/probe.out"
    for ((k = 0; k < ${#files[@]}; k++)); do
        run=$((k / 2)) name=target
        ((run == 0)) || name=target$run
        ((k % 2 == 1 || k == 0)) || start_target "$name"
        ((k == 0)) || echo next >&"${PROBE_RUN[1]}"
        read -r -t 30 line <&"${PROBE_RUN[0]}" || fail "remote-desktop-probe: $(cat "$DESKTOP/probe.err")"
        echo "$line" >>"$DESKTOP/probe.out"
        settle_target "$name"
    done
    wait "$PROBE_RUN_PID" 2>/dev/null
    "$PYTHON" - "$layout" "$WORK" "$DESKTOP" "$RUNS" <<'PY' || fail "$layout: the text did not arrive intact"
import json, statistics, sys
layout, work, desk, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
texts = [open(work + "/ascii.txt").read(), open(work + "/accented.txt").read()]
sends = [json.loads(l) for l in open(desk + "/probe.out")]
names = ["target"] + ["target%d" % r for r in range(1, runs)]
keys = [json.loads(l)["t"] for n in names for l in open("%s/%s.log" % (desk, n))
        if '"type":"key"' in l]
for r, n in enumerate(names):
    got, want = open("%s/%s.txt" % (desk, n)).read(), "".join(texts)
    if got != want:
        i = next((i for i, (a, b) in enumerate(zip(want, got)) if a != b), min(len(want), len(got)))
        print("%s, run %d: first difference at %d: %r / %r" % (layout, r + 1, i, want[i:i + 20], got[i:i + 20]))
        sys.exit(1)
for k, name in enumerate(["1,000 ASCII", "100 accented"]):
    last, ret = [], []
    for r in range(runs):
        s = sends[2 * r + k]
        end = sends[2 * r + k + 1]["start"] if 2 * r + k + 1 < len(sends) else float("inf")
        mine = [t for t in keys if s["start"] <= t < end]
        last.append(max(mine) - s["start"])
        ret.append(s["returned"] - s["start"])
    print("%s %-13s last key read %.3f s, send returned %.3f s (medians of %d; all intact)"
          % (layout, name, statistics.median(last), statistics.median(ret), runs))
PY
    stop_desktop
done
