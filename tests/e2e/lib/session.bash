# Shared by the end-to-end scripts: a private X server with a window manager, private
# settings folders, and clean-up of exactly the processes the script started.
# Usage: source lib/session.bash "$build"; start_x; ...

e2e_build=$(cd "$1" && pwd)
e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
e2e_source=$(cd "$e2e_here/../.." && pwd)
e2e_artifacts="$e2e_source/tests/artifacts"
e2e_pids=()

if ! command -v Xvfb >/dev/null; then
  echo "SKIPPED: Xvfb is not installed (make deps installs it)"
  exit 0
fi
for tool in openbox xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "FAILED: $tool is missing (make deps)"; exit 1; }
done

e2e_work=$(mktemp -d /tmp/vexil-e2e-XXXXXX)
mkdir -p "$e2e_artifacts" "$e2e_work/config" "$e2e_work/run" "$e2e_work/boards"
chmod 700 "$e2e_work/run"
export XDG_CONFIG_HOME="$e2e_work/config" XDG_RUNTIME_DIR="$e2e_work/run" XDG_DATA_HOME="$e2e_work/data"
export VEXIL_HOME="$e2e_work/boards"
cp "$e2e_source"/examples/*.VXL "$e2e_source"/examples/*.BMP "$e2e_source"/examples/MACROS.INI \
  "$e2e_work/boards/"

# Ends one process this script started: politely, then for good after three seconds.
stop_pid() {
  local pid=$1 n=0
  kill "$pid" 2>/dev/null || return 0
  while kill -0 "$pid" 2>/dev/null && ((n++ < 30)); do sleep 0.1; done
  kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local i
  for ((i = ${#e2e_pids[@]} - 1; i >= 0; i--)); do stop_pid "${e2e_pids[i]}"; done
  [ -n "${KEEP:-}" ] || rm -rf "$e2e_work"
}
trap cleanup EXIT

# Says what failed and, for a run that cannot be watched (CI), what the program and the
# target windows logged, and which windows were on the screen.
fail() {
  echo "FAILED: $*"
  local f
  for f in "$e2e_work"/*.log; do
    [ -s "$f" ] || continue
    echo "--- the end of ${f##*/}:"
    tail -n 15 "$f"
  done
  if [ -n "${DISPLAY:-}" ]; then
    echo "--- the windows shown, and the focus ($(xdotool getwindowfocus 2>/dev/null)):"
    xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do
      echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
    done | head -n 20 || true
    import -window root "$e2e_artifacts/${e2e_name:-e2e}-failure.png" 2>/dev/null
  fi
  exit 1
}

# A display number nobody uses, away from the low numbers other sessions pick.
free_display() {
  local n
  for _ in $(seq 1 50); do
    n=$((200 + RANDOM % 700))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return; }
  done
  echo 0
}

# A private X server on a free display (the server picks it), and openbox.
start_x() {
  exec 5>"$e2e_work/display"
  Xvfb ":$(free_display)" -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset >"$e2e_work/xvfb.log" 2>&1 &
  e2e_pids+=($!)
  local n=0
  until [ -s "$e2e_work/display" ]; do
    ((n++ < 100)) || fail "Xvfb did not start"
    sleep 0.05
  done
  exec 5>&-
  export DISPLAY=":$(head -n1 "$e2e_work/display")"
  openbox >"$e2e_work/openbox.log" 2>&1 &
  e2e_pids+=($!)
  n=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do
    ((n++ < 100)) || fail "openbox did not start"
    sleep 0.05
  done
}

# Waits until `command` succeeds, at most `seconds`.
wait_for() {
  local seconds=$1; shift
  local deadline=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# A copy of a demo board whose start program is the recording target window.
board_with_target() {
  local board=$1 out=$2
  local target="/usr/bin/python3 $e2e_here/target_app.py --title Recorder --geometry 600x250+200+30 --out $out"
  sed "5s|.*|\"$target\"\r|" "$e2e_work/boards/$board" >"$e2e_work/boards/T$board"
  echo "$e2e_work/boards/T$board"
}

# A profile for the tests: `modus` and `temps`, switch 1 the Space key.
write_profile() {
  printf '[Vexil]\r\nInterval= 500\r\nmodus= %s\r\ntemps= %s\r\ngruix= 6\r\ncolor= 255\r\naccio1= 3\r\naccio2= 0\r\nretard1= 0\r\nretard2= 0\r\n' \
    "$2" "$3" >"$e2e_work/boards/$1"
  echo "$e2e_work/boards/$1"
}

# A private PulseAudio server whose default sink is a null sink named $1 and whose default
# source is that sink's monitor (what the program plays is what a microphone there hears).
# Sets `pa` (its folder) and PULSE_SERVER.
start_pulse() {
  pa=$e2e_work/pulse
  mkdir -p "$pa"
  cat >"$pa/default.pa" <<PA
load-module module-native-protocol-unix socket=$pa/socket auth-anonymous=1
load-module module-null-sink sink_name=$1
set-default-sink $1
set-default-source $1.monitor
PA
  HOME=$pa pulseaudio --daemonize=no -n -F "$pa/default.pa" --exit-idle-time=-1 \
    --use-pid-file=no --disable-shm=yes >"$pa/log" 2>&1 &
  e2e_pids+=($!)
  export PULSE_SERVER=unix:$pa/socket
  wait_for 20 pactl info || fail "the private PulseAudio server did not start"
}

start_vexil() {
  "$e2e_build/bin/vexil" "$@" >"$e2e_work/vexil.log" 2>&1 &
  vexil_pid=$!
  e2e_pids+=($vexil_pid)
}

vexil_window() { xdotool search --name '^Vexil - ' | head -n1; }

# The switch is a key of the keyboard: it reaches the board only while the board has the
# focus, which the window manager gives first to a target that has just appeared.
board_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(vexil_window)" ]; }

# The editor on a new board: its properties ("Datos globales") answered with the cover
# picture $1 (typed, then Return) or, with no picture, closed with Escape; the editor window
# then in the top left corner, its id in `wid`. Leaves a screenshot of the empty board in
# $e2e_work/empty.png and the board's corner in `bx`, `by`: the board is the one white
# 640 x 445 rectangle on the screen.
open_new_board() {
  start_vexil
  wait_for 20 xdotool search --name '^Datos globales$' || fail "the new board did not ask for its properties"
  local dialog
  dialog=$(xdotool search --name '^Datos globales$' | head -n1)
  xdotool windowactivate --sync "$dialog"
  sleep 0.3
  if [ -n "${1:-}" ]; then
    xdotool type --delay 20 "$1"
    import -window root "$e2e_artifacts/new-board-properties.png"
    xdotool key --clearmodifiers Return
  else
    xdotool key --clearmodifiers Escape
  fi
  wait_for 10 sh -c '! xdotool search --name "^Datos globales$" | grep -q .' ||
    fail "the properties stayed open"
  wait_for 20 vexil_window || fail "the editor window did not appear"
  wid=$(vexil_window)
  xdotool windowmove --sync "$wid" 0 0
  sleep 0.5
  import -window root "$e2e_work/empty.png"
  local board_at
  # awk reads to the end: a reader that stops early would end convert with SIGPIPE.
  board_at=$(convert "$e2e_work/empty.png" -fill black +opaque white \
    -define connected-components:verbose=true -connected-components 4 null: 2>/dev/null |
    awk '$2 ~ /^640x445\+/ && !found {print $2; found = 1}')
  [[ $board_at =~ ^640x445\+([0-9]+)\+([0-9]+)$ ]] || fail "no board on the screen"
  bx=${BASH_REMATCH[1]}
  by=${BASH_REMATCH[2]}
}

# The mouse to ($1, $2) in board pixels.
at() { xdotool mousemove --sync $((bx + $1)) $((by + $2)); }

# The bounding box of the pure red pixels on the screen ("WxH+X+Y"): the highlight frame.
highlight_box() {
  import -window root png:- 2>/dev/null |
    convert - -fill black +opaque '#FF0000' -format '%@' info: 2>/dev/null
}
