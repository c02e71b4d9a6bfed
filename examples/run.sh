#!/usr/bin/env bash
# Starts Vexil on the demo board (make run).
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  echo "There is no display (DISPLAY is not set). To try Vexil without one:" >&2
  echo "  Xvfb :5 -screen 0 1024x768x24 & openbox --display :5 & DISPLAY=:5 make run" >&2
  echo "Meanwhile, here is the demo board as the core reads it:" >&2
  exec "$build/bin/vexil-tool" dump "$here/LLETRES.VXL"
fi
exec "$build/bin/vexil" "$here/LLETRES.VXL"
