# ENGANXA of a text file pasted into the target with Ctrl+V, and mouse moves and clicks
# landing where the commands say, relative to the target window.
source "$(dirname "$0")/lib.bash"
need_x
start_x
start_target "Paste pad" pad --geometry 500x300+200+150
mkdir -p "$WORK/boards"
printf 'Notes: caf\xe9 i pa' >"$WORK/boards/NOTES.TXT"   # Windows-1252, as boards keep it

# A name without a drive is taken in the current folder, the board's folder of the tool.
(cd "$WORK/boards" && play --window "Paste pad" 'x{|Enganxa notes.txt}y')
wait_text pad 'xNotes: café i pay'
grep -q '"op":"paste"' "$WORK/play.out" || fail "no paste line"
# The "^v" the menus, the assistant and boards made on Windows write after the command is
# part of that one paste: each file arrives once, and a "^v" of its own still pastes.
(cd "$WORK/boards" && play --window "Paste pad" 'a{|Enganxa notes.txt}^vb{|Pega NOTES.TXT }^v{RIGHT}c^v')
wait_text pad 'xNotes: café i payaNotes: café i pabNotes: café i pacNotes: café i pa'
[ "$(grep -c '"op":"paste"' "$WORK/play.out")" = 2 ] || fail "not two pastes: $(cat "$WORK/play.out")"

play --window "Paste pad" '{|Mouse M 60 80 CD}{|Mouse D 20 CE}'
clicks="$(grep '"type": "button"' "$WORK/pad.log")"
moves="$(grep '"op":"mouse"' "$WORK/play.out")"
m_x=$(echo "$moves" | sed -n '1s/.*"x":\([0-9-]*\).*/\1/p')
m_y=$(echo "$moves" | sed -n '1s/.*"y":\([0-9-]*\).*/\1/p')
[ -n "$m_x" ] || fail "no mouse line: $(cat "$WORK/play.out")"
echo "$clicks" | grep -q "\"num\": 1, \"x_root\": $m_x, \"y_root\": $m_y" ||
    fail "left click not at $m_x,$m_y: $clicks"
echo "$clicks" | grep -q "\"num\": 3, \"x_root\": $((m_x + 20)), \"y_root\": $m_y" ||
    fail "right click not 20 pixels to the right: $clicks"
# The move is relative to the target's outer corner: inside the window, near its top left.
frame_x=$(xwininfo -name "Paste pad" | sed -n 's/.*Absolute upper-left X: *//p')
[ "$m_x" -ge "$frame_x" ] && [ "$m_x" -le $((frame_x + 80)) ] || fail "x $m_x far from window at $frame_x"
echo "PASS"
