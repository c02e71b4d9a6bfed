#!/usr/bin/env bash
# make run: the letter board in use mode, scanning by itself, typing into a text editor.
# Press Space to pick the highlighted row, then again to pick the letter. The "frases" key
# opens the phrase board, which says each phrase aloud and writes it into the editor.
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v mousepad >/dev/null; then
  echo "The demo board types into Mousepad, which is not installed: run 'make deps' first." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "There is no display to show Vexil on (DISPLAY is ${DISPLAY:-not set})." >&2
  echo "To try it on a virtual screen, start one with a window manager and look at it with a" >&2
  echo "VNC viewer or take screenshots:" >&2
  echo "  Xvfb :5 -screen 0 1024x768x24 &  DISPLAY=:5 openbox &  DISPLAY=:5 make run" >&2
  echo "  DISPLAY=:5 import -window root shot.png" >&2
  exit 1
fi
cat <<'TEXT'

Vexil: the demo
  The letter board opens below a text editor (Mousepad), in use mode with automatic
  scanning: a red frame moves over the rows of letters by itself, a step every second and
  a half.
  - Space is the switch. Press it while a row is framed to go into it, then while a letter
    is framed (each is said aloud) to type it into the editor. The frame then goes back
    to the rows.
  - The last row holds "espai" (space), "esborra" (Backspace), "retorn" (Enter) and
    "frases", the phrase board: each phrase is said and typed; "lletres" comes back.
  - To stop: "Salir" in the board's menu goes back to the editor (the help's "Primeros
    pasos" tells how to make a board there); closing the window ends Vexil.

TEXT
exec "$build/bin/vexil" "$here/DEMO.USR" "$here/LLETRES.VXL"
