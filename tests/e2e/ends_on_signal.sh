#!/usr/bin/env bash
# The program ends when it is asked to (SIGTERM, as a session logout or a service manager
# does), in use mode with scanning running and in edit mode alike.
set -euo pipefail
e2e_name=ends_on_signal
source "$(dirname "$0")/lib/session.bash" "${1:?build folder}"
start_x

profile=$(write_profile SCAN.USR 2 5)
for board in "$e2e_work/boards/LLETRES.VXL" ""; do
  start_vexil "$profile" ${board:+"$board"}
  wait_for 20 vexil_window || fail "the window did not appear (${board:-edit mode})"
  sleep 0.5
  kill -TERM "$vexil_pid"
  wait_for 5 sh -c "! kill -0 $vexil_pid 2>/dev/null" ||
    fail "SIGTERM did not end the program (${board:-edit mode})"
  wait "$vexil_pid" 2>/dev/null || true
  wait_for 5 sh -c "! xdotool search --name '^Vexil - ' | grep -q ." ||
    fail "the window stayed after the program ended"
done
echo "PASSED"
